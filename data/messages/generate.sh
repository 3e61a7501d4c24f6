#!/usr/bin/env bash
# Regenerates the GBK message files from messages.CHS.utf8: CHS as it is,
# CHT converted to traditional characters with OpenCC. ENG.msg is ASCII
# and edited by hand.
set -euo pipefail
cd "$(dirname "$0")"
iconv -f UTF-8 -t GBK messages.CHS.utf8 > CHS.msg
opencc -c s2t.json -i messages.CHS.utf8 | iconv -f UTF-8 -t GBK > CHT.msg
