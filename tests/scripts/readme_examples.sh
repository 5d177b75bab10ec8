#!/usr/bin/env bash
# Runs the examples of the README as a newcomer types them after `make demo`.
#
#   readme_examples.sh README VESK_FOLDER PG_STATE
#
# In a new scratch folder (removed at exit), with VESK_FOLDER first on PATH, runs `vesk demo`
# (so that vesk-demo/ is there), then every fenced ```sh block of README in order, each with
# `bash -euo pipefail` in that folder. A block right after a line
# `<!-- readme: not run (REASON) -->` is skipped with its reason. A block right after
# `<!-- readme: server -->` runs against the cluster of tests/scripts/pg_cluster.sh, whose
# PG_STATE/connection gives PGHOST, PGPORT and PGUSER (the superuser needs no password), and is
# skipped when PG_STATE/unavailable says why there is none. Exits 1 at the first block that
# fails, naming its number and first command, with its output; 0 when all ran or were skipped.
set -euo pipefail

usage="usage: readme_examples.sh README VESK_FOLDER PG_STATE"
readme=$(realpath "${1:?$usage}")
vesk_folder=$(realpath "${2:?$usage}")
state=${3:?$usage}

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
work=$scratch/work
mkdir "$work" "$scratch/home" "$scratch/blocks"
export PATH="$vesk_folder:$PATH"
# Registrations, caches and passwords of the person running the tests stay out of the examples.
export HOME=$scratch/home XDG_DATA_HOME=$scratch/home/.local/share
unset VESK_PASSWORD VESK_TO_PASSWORD VESK_TEMPLATE_PASSWORD PGDATABASE PGPASSWORD

server_skip=""
if [ -f "$state/unavailable" ]; then
  server_skip=$(cat "$state/unavailable")
else
  IFS=';' read -ra pairs <"$state/connection"
  for pair in "${pairs[@]}"; do
    case "$pair" in
      Host=*) export PGHOST=${pair#Host=} ;;
      Port=*) export PGPORT=${pair#Port=} ;;
      "User ID="*) export PGUSER=${pair#User ID=} ;;
    esac
  done
fi

# Runs one block's file in the work folder unless its marker says to skip it; exits 1 with the
# block's number, first command and output when it fails.
run_block() {
  local number=$1 marker=$2 file=$3 first output status=0
  first=$(grep -m 1 -v -E '^[[:space:]]*(#|$)' "$file" || true)
  case "$marker" in
    "<!-- readme: not run ("*")"*)
      local reason=${marker#*not run (}
      echo "block $number skipped (${reason%) -->}): $first"
      return ;;
    "<!-- readme: server -->")
      if [ -n "$server_skip" ]; then
        echo "block $number skipped ($server_skip): $first"
        return
      fi ;;
  esac
  output=$(cd "$work" && bash -euo pipefail "$file" </dev/null 2>&1) || status=$?
  if [ "$status" -ne 0 ]; then
    printf 'README block %s failed with status %s (first command: %s); its output:\n%s\n' \
      "$number" "$status" "$first" "$output" >&2
    exit 1
  fi
  echo "block $number ran: $first"
}

(cd "$work" && vesk demo >/dev/null </dev/null) || { echo "vesk demo failed" >&2; exit 1; }

number=0 in_block=false previous="" marker="" block=""
while IFS= read -r line || [ -n "$line" ]; do
  if $in_block; then
    if [ "$line" = '```' ]; then
      in_block=false
      run_block "$number" "$marker" "$block"
    else
      printf '%s\n' "$line" >>"$block"
    fi
  elif [ "$line" = '```sh' ]; then
    number=$((number + 1))
    in_block=true
    marker=$previous
    block=$scratch/blocks/$number.sh
    : >"$block"
  fi
  previous=$line
done <"$readme"
echo "all $number sh blocks of $readme ran or were skipped"
