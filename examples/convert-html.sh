#!/bin/sh
# Paper converter for kinroll: turns BASE.txt, a list kinroll wrote, into
# BASE.html, a printable page titled TITLE with a table of contents made
# from the list's bookmark lines (one anchor each).
#
#   kinroll -i /usr/share/kinroll/convert-html.sh   (installed; examples/ in the sources)
#   kinroll then runs: convert-html.sh BASE "TITLE"
#
# The bookmark marker is the one the trailer names ("<*>" or "<^>"); a first
# line beginning "**" or "=" is the list's title line. Every other line is
# kept as it is, with <, >, &, " and ' escaped. Needs only sh and awk.
set -eu
me=$(basename "$0")
if [ $# -ne 2 ]; then
  echo "usage: $me BASE \"TITLE\"   (converts BASE.txt to BASE.html)" >&2
  exit 2
fi
base=$1
title=$2
if [ ! -f "$base.txt" ]; then
  echo "$me: $base.txt: no such file" >&2
  exit 1
fi
tmp="$base.html.tmp$$"
trap 'rm -f "$tmp"' EXIT
TITLE=$title awk '
function esc(s) {
  gsub(/&/, "\\&amp;", s); gsub(/</, "\\&lt;", s); gsub(/>/, "\\&gt;", s)
  gsub(/"/, "\\&quot;", s); gsub(/\047/, "\\&#39;", s)
  return s
}
function shown(s) { return s == "" ? "(blank)" : esc(s) }
NR == FNR { last = $0; lines = NR; next }
FNR == 1 {
  marker = "*"
  if (last ~ /^<.>$/) { marker = substr(last, 2, 1); trailer = lines }
}
{ text[FNR] = $0 }
END {
  t = esc(ENVIRON["TITLE"])
  print "<!DOCTYPE html>"
  print "<html lang=\"en\">"
  print "<head>"
  print "<meta charset=\"iso-8859-1\">"
  print "<title>" t "</title>"
  print "<style>body{font-family:sans-serif;margin:2em}pre{font-size:11pt;margin:0 0 .8em 0}" \
        "h2{font-size:13pt;margin:.8em 0 .2em 0}nav{margin-bottom:1.5em}" \
        "@media print{nav{page-break-after:always}}</style>"
  print "</head>"
  print "<body>"
  print "<h1>" t "</h1>"
  first = 1
  if (lines > 0 && (text[1] ~ /^\*\*/ || text[1] ~ /^=/)) {
    s = text[1]; sub(/^(\*\*|=)/, "", s)
    print "<p class=\"title\">" esc(s) "</p>"
    first = 2
  }
  n = 0
  for (i = first; i <= lines; i++) {
    if (i == trailer) continue
    if (substr(text[i], 1, 1) == marker) { n++; mark[i] = n }
  }
  if (n > 0) {
    print "<nav><h2>Contents</h2><ul>"
    for (i = first; i <= lines; i++)
      if (i in mark) print "<li><a href=\"#b" mark[i] "\">" shown(substr(text[i], 2)) "</a></li>"
    print "</ul></nav>"
  }
  open = 0
  for (i = first; i <= lines; i++) {
    if (i == trailer) continue
    if (i in mark) {
      if (open) { print "</pre>"; open = 0 }
      print "<h2 id=\"b" mark[i] "\">" shown(substr(text[i], 2)) "</h2>"
      continue
    }
    if (!open) { printf "<pre>"; open = 1 }
    print esc(text[i])
  }
  if (open) print "</pre>"
  print "</body>"
  print "</html>"
}
' "$base.txt" "$base.txt" > "$tmp"
mv -f "$tmp" "$base.html"
trap - EXIT
