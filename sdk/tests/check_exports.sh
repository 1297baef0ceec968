#!/usr/bin/env bash
# Checks that libirdex.so exports exactly the names its public header declares: nothing of
# the C++ inside leaks, and the version script lists every declared export.
set -euo pipefail
library=$1 header=$2 map=$3

declared=$(grep -oP '^IRDEX_API\s+[^()]*?\b\K\w+(?=\()' "$header" | sort -u)
mapped=$(grep -oP '^\s+\K\w+(?=;)' "$map" | sort -u)
exported=$(nm -D --defined-only "$library" | awk '{print $3}' | sed 's/@.*//' | sort -u)

status=0
extra=$(comm -13 <(echo "$declared") <(echo "$exported"))
if [ -n "$extra" ]; then
  echo "exported but not declared in irdex.h:"; echo "$extra"; status=1
fi
unmapped=$(comm -23 <(echo "$declared") <(echo "$mapped"))
if [ -n "$unmapped" ]; then
  echo "declared in irdex.h but missing from the version script:"; echo "$unmapped"; status=1
fi
echo "$(echo "$exported" | grep -c .) exported, $(echo "$declared" | wc -l) declared"
exit $status
