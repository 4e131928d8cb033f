#!/usr/bin/env bash
# Installs the packages, builds, prepares a local practice folder when there
# is none yet (a demo practice: three practitioners and six weeks of
# appointments around today, the names database, this workstation's
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
  "$admin" init "$practice" --sample-names 20000 --demo
  created=yes
fi
# A workstation already pointed at a practice (by a supervisor, say) keeps
# its settings; they are written for a folder made just now, when none exist,
# or when this build has no Alpha.agc yet (a fresh build folder).
has_alpha=no
ls "$program_folder" 2>/dev/null | grep -qix 'alpha.agc' && has_alpha=yes
if [ "$created" = yes ] || [ "$has_alpha" = no ] || ! grep -qi '^chemin=' "$settings_file" 2>/dev/null; then
  "$admin" settings --database "$practice/AGENDAS.MDB" --users "$practice" \
    --names "$practice/NOMS.db" --program-folder "$program_folder"
fi
# Dates are shown in the system's regional format; a machine without any
# configured language gets the practice's French one.
time_locale="${LC_ALL:-${LC_TIME:-${LANG:-C}}}"
case "$time_locale" in
  C|C.*|POSIX) time_locale=fr_FR.UTF-8 ;;
esac
exec env LC_TIME="$time_locale" build/src/app/planora
