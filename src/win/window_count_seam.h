// The test seam that proves a run showed no window: sampling the screen cannot prove
// "never", so the programs count the top-level windows their thread shows.
#pragma once

// The environment variable that names the file; set only by the tests.
inline constexpr char kWindowCountVariable[] = "KIT_WINDOW_COUNT_FILE";

// When the variable is set, every top-level window of this thread that is shown from
// now on (forms, message boxes, whatever the system shows on the thread's behalf)
// appends its window class and CR LF to that file at once, the first time it shows.
// Windows that are made and never shown (the system's own message and input-method
// windows) do not count. Without the variable, nothing happens.
void StartWindowCountSeam();
