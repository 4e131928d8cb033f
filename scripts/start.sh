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
settings_file="${XDG_CONFIG_HOME:-$HOME/.config}/hirondel.ini"
created=no
if [ ! -f "$practice/AGENDAS.MDB" ]; then
  "$admin" init "$practice" --sample-names 20000
  created=yes
fi
# A workstation already pointed at a practice (by a supervisor, say) keeps
# its settings; they are written for a folder made just now or when none exist.
if [ "$created" = yes ] || ! grep -qi '^chemin=' "$settings_file" 2>/dev/null; then
  "$admin" settings --database "$practice/AGENDAS.MDB" --users "$practice" \
    --names "$practice/NOMS.db" --program-folder "$program_folder"
fi
exec build/src/app/planora
