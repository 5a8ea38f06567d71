#pragma once
// The map explorer's main routine: the numbered question-and-answer dialogue on unit 10.
// Three nested cycles: the system cycle (questions 1 and 11), the parameter cycle
// (questions 2, 3 and 10) and the recording cycle (questions 4 to 9), each question asked
// until an acceptable answer arrives.

namespace app {

class TrajectoryObserver;

// Runs the dialogue until the user answers "n" to question 11. `plot` receives every
// recording's plot (null: recordings draw nothing). With `write_provenance` every recording
// also writes its provenance sidecar FILE.json beside its series file; a sidecar that cannot
// be written is reported in a message box and the dialogue goes on.
void run_dialogue(TrajectoryObserver* plot, bool write_provenance = false);

}  // namespace app
