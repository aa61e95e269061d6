#!/usr/bin/env bash
# Runs a window test on the virtual display that ctest gave it: ./test starts
# one display for each window test that may run at once and names them in a
# resource file, each by its display number. Outside ctest's resource
# allocation the test runs on the display it was started with.
set -eu
if [ -n "${CTEST_RESOURCE_GROUP_0_DISPLAYS:-}" ]; then
  id=${CTEST_RESOURCE_GROUP_0_DISPLAYS#id:}
  export DISPLAY=":${id%%,*}"
fi
exec "$@"
