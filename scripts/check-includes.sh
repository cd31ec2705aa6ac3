#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Holds every #include of the source folders to the include rules of docs/ARCHITECTURE.md (the
# "include-rules" block) and prints each one they do not allow as
#   file:line: folder/ may not include X (docs/ARCHITECTURE.md)
# Exit status: 0 clean, 1 a rule is broken, 2 the rules cannot be read.
#   scripts/check-includes.sh [ROOT]   ROOT: the tree to check (default: this repository)
# TALVEK_QT_WIDGETS_DIR names the folder of QtWidgets headers; without one the installed headers
# are used, or a fixed list of the module's classes where Qt is not installed.
set -euo pipefail
root=${1:-$(dirname "$0")/..}
cd "$root"
map=docs/ARCHITECTURE.md

rules=$(awk '
  /^```include-rules/ { inside = 1; next }
  inside && /^```/ { exit }
  !inside || /^#/ || /^[[:space:]]*$/ { next }
  /^[[:space:]]/ { row = row " " $0; next }
  { if (row != "") print row; row = $0 }
  END { if (row != "") print row }
' "$map" 2>/dev/null || true)
if [ -z "$rules" ]; then
  echo "$map: no include-rules block" >&2
  exit 2
fi

# Headers that are QtWidgets classes. The module's folder also forwards a few QtGui and QtCore
# headers (qaction.h, qshortcut.h, ...), which stay allowed.
installed=(/usr/include/*/qt6/QtWidgets)
widgets_dir=${TALVEK_QT_WIDGETS_DIR-${installed[0]}}
widget_headers() {
  if [ -n "$widgets_dir" ] && [ -d "$widgets_dir" ]; then
    comm -23 <(find "$widgets_dir" -maxdepth 1 -type f -printf '%f\n' | sort -u) \
      <(find "$widgets_dir"/../QtGui "$widgets_dir"/../QtCore -maxdepth 1 -type f -printf '%f\n' \
        2>/dev/null | sort -u)
  else
    printf '%s\n' QAbstractButton QAbstractItemDelegate QAbstractItemView QAbstractScrollArea \
      QAbstractSlider QAbstractSpinBox QApplication QBoxLayout QButtonGroup QCheckBox \
      QColorDialog QColumnView QComboBox QCommonStyle QCompleter QDateTimeEdit QDial QDialog \
      QDialogButtonBox QDockWidget QDoubleSpinBox QErrorMessage QFileDialog QFontDialog \
      QFormLayout QFrame QGraphicsItem QGraphicsScene QGraphicsView QGridLayout QGroupBox \
      QHBoxLayout QHeaderView QInputDialog QItemDelegate QLabel QLayout QLayoutItem QLCDNumber \
      QLineEdit QListView QListWidget QMainWindow QMdiArea QMenu QMenuBar QMessageBox \
      QPlainTextEdit QProgressBar QProgressDialog QProxyStyle QPushButton QRadioButton \
      QRubberBand QScrollArea QScrollBar QSizePolicy QSlider QSpacerItem QSpinBox QSplitter \
      QStackedLayout QStackedWidget QStatusBar QStyle QStyleFactory QStyleOption \
      QStyleOptionViewItem QStylePainter QStyledItemDelegate QSystemTrayIcon QTabBar QTabWidget \
      QTableView QTableWidget QTextBrowser QTextEdit QToolBar QToolBox QToolButton QToolTip \
      QTreeView QTreeWidget QUndoView QVBoxLayout QWhatsThis QWidget QWidgetAction QWizard \
      QWizardPage
  fi
  # Widgets of other modules.
  printf '%s\n' QOpenGLWidget QAbstractPrintDialog QPageSetupDialog QPrintDialog \
    QPrintPreviewDialog QPrintPreviewWidget
}

folders=$(awk '{ print $1 }' <<<"$rules")
# Every folder with C++ sources needs a row; build folders hold generated code only.
unmapped=$(find . -mindepth 2 -type f \( -name '*.h' -o -name '*.cpp' \) -not -path './.*' \
  -not -path './build*' -printf '%P\n' | cut -d/ -f1 | sort -u | grep -vxF "$folders" || true)

status=0
for folder in $unmapped; do
  echo "$folder/: no row in the include rules ($map)"
  status=1
done

mapfile -t scanned < <(for folder in $folders; do [ -d "$folder" ] && echo "$folder"; done)
[ ${#scanned[@]} -gt 0 ] || exit "$status"

awk -v map="$map" '
  # "a.*,b.*": any of the comma-separated globs.
  function globToRegex(glob) {
    gsub(/\./, "\\.", glob)
    gsub(/\*/, ".*", glob)
    gsub(/\?/, ".", glob)
    gsub(/,/, "|", glob)
    return "^(" glob ")$"
  }
  function fail(file, line, folder, what) {
    printf "%s:%s: %s/ may not include %s (%s)\n", file, line, folder, what, map
    broken = 1
  }
  FNR == 1 { part++ }
  part == 1 {
    folder = $1
    known[folder] = 1
    qt[folder] = $2
    widgetFiles[folder] = ""
    if (match($2, /^Widgets\(.*\)$/)) {
      qt[folder] = "Widgets"
      widgetFiles[folder] = globToRegex(substr($2, 9, length($2) - 9))
    } else if ($2 != "no-Qt" && $2 != "no-Widgets" && $2 != "Widgets") {
      printf "%s: %s: unknown Qt rule %s\n", map, folder, $2 > "/dev/stderr"
      bad = 1
    }
    rest = $0
    sub(/^[^[:space:]]+[[:space:]]+[^[:space:]]+/, "", rest)
    while (match(rest, /[^[:space:]()]+(\([^)]*\))?/)) {
      item = substr(rest, RSTART, RLENGTH)
      rest = substr(rest, RSTART + RLENGTH)
      if (item == "-") continue
      if (item == "*") { anything[folder] = 1; continue }
      target = item
      sub(/\(.*/, "", target)
      reach[folder, target] = 1
      named[folder SUBSEP target] = 1
      if (item ~ /\(/) {
        face[folder, target] = 1
        headers = item
        sub(/^[^(]*\(/, "", headers)
        sub(/\)$/, "", headers)
        n = split(headers, list, /[[:space:]]+/)
        for (i = 1; i <= n; i++) if (list[i] != "") allowed[folder, target, list[i]] = 1
      }
    }
    next
  }
  part == 2 {
    if (!checkedRules) {
      checkedRules = 1
      for (key in named) {
        split(key, pair, SUBSEP)
        if (!(pair[2] in known)) {
          printf "%s: %s/ may include %s/, which has no row\n", map, pair[1], pair[2] > "/dev/stderr"
          bad = 1
        }
      }
      if (bad) exit 2
    }
    widget[$0] = 1
    next
  }
  {
    # file:line:text from grep
    file = $0
    sub(/:.*/, "", file)
    line = substr($0, length(file) + 2)
    text = line
    sub(/:.*/, "", line)
    text = substr(text, length(line) + 2)
    folder = file
    sub(/\/.*/, "", folder)
    if (folder in anything) next
    if (match(text, /"[^"]*"/)) {
      path = substr(text, RSTART + 1, RLENGTH - 2)
      if (path !~ /\//) next
      target = path
      sub(/\/.*/, "", target)
      if (target == folder || !(target in known)) next
      if (!((folder, target) in reach)) { fail(file, line, folder, path); next }
      if ((folder, target) in face && !((folder, target, substr(path, length(target) + 2)) in allowed))
        fail(file, line, folder, path)
    } else if (match(text, /<[^>]*>/)) {
      header = substr(text, RSTART + 1, RLENGTH - 2)
      isQt = header ~ /^Q/ || header ~ /^q[a-z0-9_]*\.h$/
      isWidgets = (header in widget) || header ~ /^Qt(OpenGL)?Widgets(\/|$)/
      base = file
      sub(/.*\//, "", base)
      if (qt[folder] == "no-Qt" && isQt) fail(file, line, folder, "<" header ">")
      else if (isWidgets && (qt[folder] != "Widgets" ||
                             (widgetFiles[folder] != "" && base !~ widgetFiles[folder])))
        fail(file, line, folder, "<" header ">")
    }
  }
  END {
    if (bad) exit 2
    exit broken
  }
' <(printf '%s\n' "$rules") <(widget_headers) \
  <(find "${scanned[@]}" -type f \( -name '*.h' -o -name '*.cpp' \) | sort |
    xargs -r grep -nHE '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]' | sed 's|^\./||') ||
  status=$?
exit "$status"
