#!/usr/bin/env bash
# Fails when a source folder includes from a folder above it (docs/architecture.md, "The rule").
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

# The folders of src/ from the top down: each may include from itself and the folders below it.
layers=(exports upgrade host dialogs resources win32 core)
declare -A may=()
for ((i = 0; i < ${#layers[@]}; i++)); do may[${layers[$i]}]="${layers[*]:$i}"; done

status=0
cd "$root/src"
for folder in */; do
  folder=${folder%/}
  if [ -z "${may[$folder]+set}" ]; then
    echo "layers: src/$folder is not in the layer table" >&2
    status=1
    continue
  fi
  while IFS=: read -r file line text; do
    target=$(sed -E 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^"]+)".*/\1/' <<<"$text")
    case $target in
      */*) to=${target%%/*} ;;
      resource.h) to=resources ;;
      KivForIS55.h) continue ;;  # the public header, for every layer
      *) to=$folder ;;            # a file beside it
    esac
    if [[ " ${may[$folder]} " != *" $to "* ]]; then
      echo "layers: src/$file:$line includes \"$target\": $folder may include only from ${may[$folder]}" >&2
      status=1
    fi
  done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$folder" || true)
done
[ "$status" -eq 0 ] && echo "layers: every include runs downward"
exit "$status"
