#!/bin/sh
# Runs listen.py against a build: listen.sh BUILD_DIR OUT_DIR [listen.py options, e.g. --slow 2 --only 3 4]
# (the build's murmela, development backend, sample chat and backend port).
set -e
build=$(cd "$1" && pwd); out=$2; shift 2
# The walk's machinery (tools/a11y-listen/walkkit.py says what the tool takes from it).
export MURMELA_A11Y_WALK="${MURMELA_A11Y_WALK:-$(cd "$(dirname "$0")/../../tests/a11y" && pwd)}"
url=$(sed -n 's/^MURMELA_BACKEND_URL:STRING=//p' "$build/CMakeCache.txt")
exec /usr/bin/python3 "$(dirname "$0")/listen.py" --app "$build/src/app/murmela" \
  --backend "$build/tools/dev-backend/murmela-dev-backend" --sample-chat "$build/tools/sample-chat/sample-chat" --stock-field "$build/tools/stock-field/stock-field" \
  --backend-url "${url:-http://127.0.0.1:8787}" --out "$out" "$@"
