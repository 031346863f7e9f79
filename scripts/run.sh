#!/usr/bin/env bash
# Builds zorScheduler through the dev preset (installing what is missing first) and starts it, as the operator
# would use it.
# The scheduler is a window: without a display it says so and stops, unless QT_QPA_PLATFORM names a platform
# that needs none, e.g. QT_QPA_PLATFORM=offscreen scripts/run.sh (headless; end it with Ctrl+C or SIGTERM).
set -euo pipefail
cd "$(dirname "$0")/.."

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    cat >&2 <<'TEXT'
No display: DISPLAY and WAYLAND_DISPLAY are both empty, so the scheduler's window cannot be shown here.
Run it on a desktop session, or with X forwarding (ssh -X), or headless with Qt's offscreen platform:

    QT_QPA_PLATFORM=offscreen scripts/run.sh

Headless, it runs exactly as with a window: the jobs that its stored settings tick start on time, but
nobody can press its buttons or answer its close question. End it with Ctrl+C or SIGTERM.
TEXT
    exit 1
fi

scripts/setup.sh run
cmake --preset dev >/dev/null
cmake --build --preset dev --target zorScheduler
exec build/bin/zorScheduler
