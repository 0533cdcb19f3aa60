#!/bin/sh
# Handheld converter for kinroll: turns BASE.txt, a list kinroll wrote, into
# the handheld e-book BASE.pdb whose document name is TITLE. Title line,
# bookmark lines and trailer stay in the text, as handheld readers take them.
#
#   kinroll -i /usr/share/kinroll/convert-pdb.sh    (installed; examples/ in the sources)
#   kinroll then runs: convert-pdb.sh BASE "TITLE"
#
# Needs txt2pdbdoc (Debian package txt2pdbdoc).
set -eu
me=$(basename "$0")
if [ $# -ne 2 ]; then
  echo "usage: $me BASE \"TITLE\"   (converts BASE.txt to BASE.pdb)" >&2
  exit 2
fi
base=$1
title=$2
if [ ! -f "$base.txt" ]; then
  echo "$me: $base.txt: no such file" >&2
  exit 1
fi
if ! command -v txt2pdbdoc >/dev/null 2>&1; then
  echo "$me: txt2pdbdoc is not installed (apt-get install txt2pdbdoc)" >&2
  exit 1
fi
# -b keeps every byte (accented letters included); the document is written
# beside its text under a temporary name and put in place whole.
tmp="$base.pdb.tmp$$"
trap 'rm -f "$tmp"' EXIT
txt2pdbdoc -b "$title" "$base.txt" "$tmp"
mv -f "$tmp" "$base.pdb"
trap - EXIT
