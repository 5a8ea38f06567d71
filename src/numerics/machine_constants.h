#pragma once
// Machine constants of double (DMACH) and single (AMACH) precision, by index:
//   1 smallest positive normalised number   2 largest finite number
//   3 smallest relative spacing (2^-53, 2^-24)   4 largest relative spacing (2^-52, 2^-23)
//   5 log10(2)   6 quiet NaN   7 +infinity   8 -infinity
// Another index is a terminal error of the routine on the library's error stack; if the
// program goes on, the result is a quiet NaN.

namespace numerics {

double DMACH(int index);
float AMACH(int index);

}  // namespace numerics
