#!/usr/bin/env bash
# Installs the packages, builds, prepares a local practice folder when there
# is none yet (database, users file, names database, this workstation's
# settings) and starts PLANORA on it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
practice="${PLANORA_PRACTICE:-$HOME/planora-cabinet}"
admin=build/tools/planora-admin/planora-admin
program_folder="$(pwd)/build/src/app"
if [ ! -f "$practice/AGENDAS.MDB" ]; then
  "$admin" init "$practice" --sample-names 20000
fi
"$admin" settings --database "$practice/AGENDAS.MDB" --users "$practice" \
  --names "$practice/NOMS.db" --program-folder "$program_folder"
exec build/src/app/planora
