#!/usr/bin/env bash
# Builds the privacy runtime archive that hybrid mode installs:
#
#   MurmelaPrivacyRuntime-0.1.1-macos-arm64.tar.gz
#   └── MurmelaPrivacyRuntime-0.1.1/
#       ├── manifest.json        runtimeVersion, createdAt, pythonVersion, modelID,
#       │                        modelPath, mlxEmbeddingsVersion
#       ├── python/bin/python3   a self-contained, relocatable CPython with the
#       │                        MLX embeddings package installed into it
#       └── models/openai-privacy-filter-6bit/
#                                the model "mlx-community/openai-privacy-filter-6bit"
#
# MLX runs only on Apple Silicon, so this script runs only on an Apple Silicon
# Mac with macOS, curl, tar and shasum, and needs the network (the Python build,
# the Python packages and the model are downloaded). It cannot run on the Linux
# build machines; there only its syntax is checked.
#
# Before packing it checks the result the way the application will use it: the
# application's smoke test (load the model and its tokenizer), then the bundled
# anonymization script on a short sample conversation.
#
# Install the result for a local test run with
#   MURMELA_PRIVACY_RUNTIME_ARCHIVE=<archive> ./Scripts/run
#
# Settings (environment variables):
#   OUTPUT_DIR               where the archive goes (default: <repository>/dist)
#   PYTHON_STANDALONE_URL    the relocatable CPython "install_only" archive for
#                            aarch64-apple-darwin (default below)
#   PYTHON_STANDALONE_SHA256 its SHA-256, checked when given
#   MLX_EMBEDDINGS_VERSION   a version of the mlx-embeddings package to pin
#                            (default: the newest)
#   MODEL_SOURCE_DIR         a local copy of the model folder to use instead of
#                            downloading it
#   KEEP_WORK_DIR=1          keep the staging folder for inspection
set -euo pipefail

readonly RUNTIME_VERSION="0.1.1"
readonly MODEL_ID="mlx-community/openai-privacy-filter-6bit"
readonly MODEL_PATH="models/openai-privacy-filter-6bit"
readonly RUNTIME_FOLDER="MurmelaPrivacyRuntime-${RUNTIME_VERSION}"
readonly ARCHIVE_NAME="MurmelaPrivacyRuntime-${RUNTIME_VERSION}-macos-arm64.tar.gz"
readonly DEFAULT_PYTHON_URL="https://github.com/astral-sh/python-build-standalone/releases/download/20240814/cpython-3.12.5+20240814-aarch64-apple-darwin-install_only.tar.gz"

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
readonly root
readonly anonymize_script="$root/resources/Murmela_MurmelaCore.bundle/privacy_anonymize.py"
output_dir="${OUTPUT_DIR:-$root/dist}"
python_url="${PYTHON_STANDALONE_URL:-$DEFAULT_PYTHON_URL}"

say() { printf '==> %s\n' "$*"; }
fail() {
  printf 'build-privacy-runtime: %s\n' "$*" >&2
  exit 1
}

usage() {
  sed -n '2,/^set -euo pipefail$/p' "${BASH_SOURCE[0]}" | sed -e '$d' -e 's/^# \{0,1\}//'
}

case "${1:-}" in
  -h | --help)
    usage
    exit 0
    ;;
  "") ;;
  *) fail "unknown argument: $1 (see --help)" ;;
esac

# --- host ------------------------------------------------------------------------
[[ "$(uname -s)" == "Darwin" ]] || fail "this script runs only on macOS (MLX needs Apple Silicon)"
[[ "$(uname -m)" == "arm64" ]] || fail "this script runs only on Apple Silicon (arm64), not $(uname -m)"
for tool in curl tar shasum; do
  command -v "$tool" >/dev/null 2>&1 || fail "missing tool: $tool"
done
[[ -f "$anonymize_script" ]] || fail "missing $anonymize_script"

work_dir="$(mktemp -d "${TMPDIR:-/tmp}/murmela-runtime-build.XXXXXX")"
readonly work_dir
cleanup() {
  if [[ "${KEEP_WORK_DIR:-0}" == "1" ]]; then
    say "kept the staging folder $work_dir"
  else
    rm -rf "$work_dir"
  fi
}
trap cleanup EXIT

stage="$work_dir/$RUNTIME_FOLDER"
readonly stage
python="$stage/python/bin/python3"
readonly python
mkdir -p "$stage"

# The runtime's Python runs as the application runs it: nothing of the
# builder's own Python set-up may leak in.
unset PYTHONPATH VIRTUAL_ENV PYTHONHOME
export PYTHONNOUSERSITE=1 PYTHONUNBUFFERED=1 PIP_DISABLE_PIP_VERSION_CHECK=1
export HF_HOME="$work_dir/hf-cache" HUGGINGFACE_HUB_CACHE="$work_dir/hf-cache"

# --- Python ------------------------------------------------------------------------
say "downloading Python from $python_url"
python_archive="$work_dir/python.tar.gz"
curl --fail --location --retry 3 --silent --show-error --output "$python_archive" "$python_url"
if [[ -n "${PYTHON_STANDALONE_SHA256:-}" ]]; then
  actual="$(shasum -a 256 "$python_archive" | awk '{print $1}')"
  [[ "$actual" == "$PYTHON_STANDALONE_SHA256" ]] ||
    fail "the Python archive's SHA-256 is $actual, expected $PYTHON_STANDALONE_SHA256"
fi
tar -xzf "$python_archive" -C "$stage"
rm -f "$python_archive"
[[ -x "$python" ]] || fail "the Python archive holds no python/bin/python3"
"$python" -c 'import sys; assert sys.version_info >= (3, 10), sys.version' ||
  fail "the Python build is too old for the MLX packages"

# --- packages ----------------------------------------------------------------------
mlx_requirement="mlx-embeddings${MLX_EMBEDDINGS_VERSION:+==$MLX_EMBEDDINGS_VERSION}"
say "installing $mlx_requirement and huggingface_hub"
"$python" -m pip install --no-cache-dir --upgrade pip
"$python" -m pip install --no-cache-dir "$mlx_requirement" huggingface_hub

# --- model ---------------------------------------------------------------------------
model_dir="$stage/$MODEL_PATH"
mkdir -p "$(dirname "$model_dir")"
if [[ -n "${MODEL_SOURCE_DIR:-}" ]]; then
  [[ -d "$MODEL_SOURCE_DIR" ]] || fail "MODEL_SOURCE_DIR is not a folder: $MODEL_SOURCE_DIR"
  say "copying the model from $MODEL_SOURCE_DIR"
  cp -R "$MODEL_SOURCE_DIR" "$model_dir"
else
  say "downloading the model $MODEL_ID"
  MODEL_ID="$MODEL_ID" MODEL_DIR="$model_dir" "$python" - <<'PY'
import os
from huggingface_hub import snapshot_download

snapshot_download(repo_id=os.environ["MODEL_ID"], local_dir=os.environ["MODEL_DIR"])
PY
fi
rm -rf "$model_dir/.cache"
[[ -f "$model_dir/config.json" ]] || fail "the model folder has no config.json"

# --- checks ------------------------------------------------------------------------
say "smoke test: loading the model and its tokenizer"
MURMELA_PRIVACY_MODEL_PATH="$model_dir" "$python" -c '
import os
from mlx_embeddings import load
model_path = os.environ["MURMELA_PRIVACY_MODEL_PATH"]
print(f"loading privacy model from {model_path}")
model, tokenizer = load(model_path)
print("ok")'

say "anonymizing a sample conversation"
sample_dir="$work_dir/sample"
mkdir -p "$sample_dir"
MODEL_DIR="$model_dir" SAMPLE_DIR="$sample_dir" "$python" - <<'PY'
import json
import os

messages = [
    ("Jordan Lee", "Hi! It's Jordan. Did Alexandra Moreno call you back?"),
    ("You", "Not yet. Can you send me her email address?"),
    ("Jordan Lee", "Sure, it's alexandra.moreno@example.com and her number is +1 415 555 0132"),
]
document = {
    "participants": {"me": "You", "them": "Jordan Lee"},
    "messages": [
        {"index": i + 1, "sender": sender, "timestamp": "2024-03-05T14:22:%02dZ" % i, "text": text,
         "has_photo": False}
        for i, (sender, text) in enumerate(messages)
    ],
    "model": os.environ["MODEL_DIR"],
}
with open(os.path.join(os.environ["SAMPLE_DIR"], "input.json"), "w", encoding="utf-8") as handle:
    json.dump(document, handle)
PY
env -u MURMELA_PRIVACY_DETECTOR "$python" "$anonymize_script" "$sample_dir/input.json" "$sample_dir/output.json"
SAMPLE_DIR="$sample_dir" "$python" - <<'PY'
import json
import os
import sys

with open(os.path.join(os.environ["SAMPLE_DIR"], "output.json"), encoding="utf-8") as handle:
    output = json.load(handle)
sent = json.dumps([output["participants"], output["messages"]])
left = [word for word in ("Jordan", "Alexandra", "Moreno", "alexandra.moreno@example.com") if word in sent]
if left:
    sys.exit("the sample still names %s after anonymizing: %s" % (", ".join(left), sent))
print("sample anonymized: %s" % json.dumps(output["messages"][2]["text"]))
PY

# --- manifest and archive -----------------------------------------------------------
python_version="$("$python" -c 'import platform; print(platform.python_version())')"
mlx_version="$("$python" -c 'from importlib.metadata import version; print(version("mlx-embeddings"))')"
say "writing manifest.json (Python $python_version, mlx-embeddings $mlx_version)"
RUNTIME_VERSION="$RUNTIME_VERSION" MODEL_ID="$MODEL_ID" MODEL_PATH="$MODEL_PATH" \
  PYTHON_VERSION="$python_version" MLX_VERSION="$mlx_version" STAGE="$stage" "$python" - <<'PY'
import datetime
import json
import os

manifest = {
    "runtimeVersion": os.environ["RUNTIME_VERSION"],
    "createdAt": datetime.datetime.now(datetime.timezone.utc).strftime("%Y-%m-%dT%H:%M:%SZ"),
    "pythonVersion": os.environ["PYTHON_VERSION"],
    "modelID": os.environ["MODEL_ID"],
    "modelPath": os.environ["MODEL_PATH"],
    "mlxEmbeddingsVersion": os.environ["MLX_VERSION"],
}
with open(os.path.join(os.environ["STAGE"], "manifest.json"), "w", encoding="utf-8") as handle:
    json.dump(manifest, handle, indent=2, sort_keys=True)
    handle.write("\n")
PY

# Byte-code caches are rebuilt on the user's machine; they only add size.
find "$stage" -name '__pycache__' -type d -prune -exec rm -rf {} +

mkdir -p "$output_dir"
archive="$output_dir/$ARCHIVE_NAME"
say "packing $archive"
# No AppleDouble "._" files in the archive.
COPYFILE_DISABLE=1 tar -czf "$archive.partial" -C "$work_dir" "$RUNTIME_FOLDER"
mv -f "$archive.partial" "$archive"

say "done: $archive"
say "sha256 $(shasum -a 256 "$archive" | awk '{print $1}')"
say "size $(du -h "$archive" | awk '{print $1}')"
