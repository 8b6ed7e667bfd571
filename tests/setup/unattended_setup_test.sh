#!/usr/bin/env bash
# The unattended runs' test: the sample medium made first (tools/sample-medium.sh),
# then the test program, which installs it silently among its other cases.
#   unattended_setup_test.sh TEST_EXE
set -euo pipefail
export KIT_BUILD_DIR
medium=$KIT_WORK_DIR/sample-medium
"$KIT_SOURCE_DIR/tools/sample-medium.sh" "$medium" >/dev/null
KIT_SAMPLE_MEDIUM=$medium wine "$1"
