#!/usr/bin/env bash
# The X11 hack's tests (tests/linux/test_*.sh), run by the end-to-end runner. Usage: tests/linux/run.sh [filter]
exec "$(dirname "$0")/../e2e/run.sh" --linux "$@"
