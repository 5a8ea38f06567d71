#pragma once
// Names for the run-time error numbers of the catalogue (error_catalogue.cpp) that the code
// raises or tests for. Each number has exactly one name here; status values are plain ints,
// 0 meaning success, so the names are ints as well. The catalogue text is in the comment.

namespace runtime {

// ---- Information messages ----------------------------------------------------------------------
inline constexpr int kDispositionModified = 5;   // requested disposition modified, file not deleted
inline constexpr int kFormatSyntaxErrorAt = 58;  // format syntax error at or near %.*s

// ---- Files and units ---------------------------------------------------------------------------
inline constexpr int kPermissionDenied = 9;                  // permission to access file denied
inline constexpr int kCannotOverwriteExistingFile = 10;      // cannot overwrite existing file
inline constexpr int kCloseError = 28;                       // CLOSE error
inline constexpr int kFileNotFound = 29;                     // file not found
inline constexpr int kOpenFailure = 30;                      // open failure
inline constexpr int kInvalidLogicalUnitNumber = 32;         // invalid logical unit number
inline constexpr int kRecursiveIoOperation = 40;             // recursive I/O operation
inline constexpr int kNoSuchDevice = 42;                     // no such device
inline constexpr int kFileNameSpecificationError = 43;       // file name specification error
inline constexpr int kInconsistentRecordType = 44;           // inconsistent record type
inline constexpr int kOpenKeywordValueError = 45;            // keyword value error in OPEN statement
inline constexpr int kInconsistentOpenCloseParameters = 46;  // inconsistent OPEN/CLOSE parameters
inline constexpr int kWriteToReadOnlyFile = 47;              // write to READONLY file

// ---- Transfers ---------------------------------------------------------------------------------
inline constexpr int kInputRecordTooLong = 22;                 // input record too long
inline constexpr int kEndOfFileDuringRead = 24;                // end-of-file during read
inline constexpr int kErrorDuringWrite = 38;                   // error during write
inline constexpr int kErrorDuringRead = 39;                    // error during read
inline constexpr int kInfiniteFormatLoop = 60;                 // infinite format loop
inline constexpr int kFormatVariableTypeMismatch = 61;         // format/variable-type mismatch
inline constexpr int kSyntaxErrorInFormat = 62;                // syntax error in format
inline constexpr int kOutputConversionError = 63;              // output conversion error
inline constexpr int kInputConversionError = 64;               // input conversion error
inline constexpr int kOutputStatementOverflowsRecord = 66;     // output statement overflows record
inline constexpr int kInputStatementRequiresTooMuchData = 67;  // input statement requires too much data
inline constexpr int kFormattedIoToUnformattedUnit = 257;      // formatted I/O to unit open for unformatted transfers
inline constexpr int kSequentialIoToDirectUnit = 259;          // sequential-access I/O to unit open for direct access
inline constexpr int kEndOfRecordDuringRead = 268;             // end of record during read

// ---- Memory and arguments ----------------------------------------------------------------------
inline constexpr int kInsufficientVirtualMemory = 41;          // insufficient virtual memory
inline constexpr int kInvalidRuntimeArgument = 48;             // invalid argument to FORTRAN Run-Time Library
inline constexpr int kAllocatableArrayAlreadyAllocated = 151;  // allocatable array is already allocated
inline constexpr int kAllocatableArrayNotAllocated = 153;      // allocatable array or pointer is not allocated

// ---- Arithmetic and processor exceptions -------------------------------------------------------
inline constexpr int kFloatingInvalidError = 65;           // floating invalid
inline constexpr int kFloatingOverflowError = 72;          // floating overflow
inline constexpr int kFloatingDivideByZeroError = 73;      // floating divide by zero
inline constexpr int kFloatingUnderflowError = 74;         // floating underflow
inline constexpr int kFloatingPointException = 75;         // floating point exception
inline constexpr int kFloatingInexactError = 140;          // floating inexact
inline constexpr int kAccessViolation = 157;               // Program Exception - access violation
inline constexpr int kDatatypeMisalignment = 158;          // Program Exception - datatype misalignment
inline constexpr int kBreakpoint = 159;                    // Program Exception - breakpoint
inline constexpr int kSingleStep = 160;                    // Program Exception - single step
inline constexpr int kArrayBoundsExceeded = 161;           // Program Exception - array bounds exceeded
inline constexpr int kIntegerDivideByZeroException = 164;  // Program Exception - integer divide by zero
inline constexpr int kIntegerOverflowException = 165;      // Program Exception - integer overflow
inline constexpr int kPrivilegedInstruction = 166;         // Program Exception - privileged instruction
inline constexpr int kInPageError = 167;                   // Program Exception - in page error
inline constexpr int kIllegalInstruction = 168;            // Program Exception - illegal instruction
inline constexpr int kNoncontinuableException = 169;       // Program Exception - noncontinuable exception
inline constexpr int kStackOverflowException = 170;        // Program Exception - stack overflow
inline constexpr int kOtherProcessorException = 172;       // Program Exception - exception code = ...

// ---- Program events ----------------------------------------------------------------------------
inline constexpr int kProgramAbortingDueToEvent = 200;  // program aborting due to %s event
inline constexpr int kDivisionFlawDetected = 201;       // Intel Pentium fdiv flaw detected

// ---- OPEN and CLOSE keywords -------------------------------------------------------------------
inline constexpr int kFileAlreadyOpenParameterMismatch = 560;   // file already open : parameter mismatch
inline constexpr int kIoFocusIllegalWithNonWindowUnit = 562;    // IOFOCUS illegal with non-window unit
inline constexpr int kIoFocusIllegalWithoutWindowing = 563;     // IOFOCUS illegal without the windowing runtime
inline constexpr int kTitleIllegalWithNonWindowUnit = 564;      // TITLE illegal with non-window unit
inline constexpr int kTitleIllegalWithoutWindowing = 565;       // TITLE illegal without the windowing runtime
inline constexpr int kKeepIllegalForScratchFile = 566;          // KEEP illegal for scratch file
inline constexpr int kScratchIllegalForNamedFile = 567;         // SCRATCH illegal for named file
inline constexpr int kIllegalStatusValue = 570;                 // illegal STATUS value
inline constexpr int kIllegalModeValue = 571;                   // illegal MODE value
inline constexpr int kIllegalAccessValue = 572;                 // illegal ACCESS value
inline constexpr int kIllegalBlankValue = 573;                  // illegal BLANK value
inline constexpr int kIllegalFormValue = 574;                   // illegal FORM value
inline constexpr int kIllegalShareValue = 575;                  // illegal SHARE value
inline constexpr int kIllegalUnitNumber = 580;                  // illegal unit number
inline constexpr int kIllegalRecordLengthValue = 581;           // illegal RECL value
inline constexpr int kIllegalPositionValue = 748;               // Illegal POSITION value
inline constexpr int kIllegalActionValue = 749;                 // Illegal ACTION value
inline constexpr int kDelimiterNotAllowedForUnformatted = 750;  // DELIM= specifier not allowed for an UNFORMATTED file
inline constexpr int kIllegalDelimiterValue = 751;              // Illegal DELIM value
inline constexpr int kPadNotAllowedForUnformatted = 752;        // PAD= specifier not allowed for an UNFORMATTED file
inline constexpr int kIllegalPadValue = 753;                    // illegal PAD value
inline constexpr int kIllegalCarriageControlValue = 754;        // illegal CARRIAGECONTROL value

// ---- The compatibility numbering of operating-system failures ----------------------------------
inline constexpr int kCompatibleAccessNotAllowed = 600;   // access not allowed
inline constexpr int kCompatibleFileAlreadyExists = 601;  // file already exists
inline constexpr int kCompatibleFileNotFound = 602;       // file not found
inline constexpr int kCompatibleTooManyOpenFiles = 603;   // too many open files
inline constexpr int kEndOfFileEncountered = 613;         // end of file encountered

}  // namespace runtime
