#!/usr/bin/env bash
# Checks the compiled help files from the outside: unpacks each .chm with
# extract_chmLib and compares it with its HTML Help project. Runs on the
# build host (no Wine).
#   check_help.sh <help source dir> <bin dir> <script keyword list>
# For every project <name>/<name>.hhp under the source dir:
#   - <bin>/<name>.chm exists and unpacks;
#   - every file of the project's [FILES] section is inside, non-empty and
#     identical to its source (a stale build fails here);
#   - every .html of the source folder is in [FILES] and in the contents;
#   - every page and anchor named by the contents, the index and the pages'
#     own links exists;
#   - the pages are plain ASCII.
# And the scripts page of ZeltoPrg.chm has a table entry and an index entry
# for every script keyword.
set -u

help_dir=$1
bin_dir=$2
keyword_list=$3

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

extract=$(command -v extract_chmLib) || { echo "FAIL: extract_chmLib not found (Debian package libchm-bin)"; exit 1; }

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# Values of <param name="Local" value="..."> in a sitemap (.hhc/.hhk).
sitemap_locals() { grep -o 'name="Local" value="[^"]*"' "$1" | sed 's/.*value="\([^"]*\)"/\1/'; }

# Checks that target "page[#anchor]" exists in the unpacked folder $1; $2 names the referrer.
check_target() {
  local root=$1 referrer=$2 target=$3
  local page=${target%%#*} anchor=
  [ "$page" != "$target" ] && anchor=${target#*#}
  if [ ! -s "$root/$page" ]; then
    fail "$referrer refers to $target, but $page is not in the help file"
  elif [ -n "$anchor" ] && ! grep -q "name=\"$anchor\"" "$root/$page"; then
    fail "$referrer refers to $target, but $page has no anchor $anchor"
  fi
}

projects=0
for project_dir in "$help_dir"/*/; do
  name=$(basename "$project_dir")
  hhp=$project_dir/$name.hhp
  [ -f "$hhp" ] || continue
  projects=$((projects + 1))
  chm=$bin_dir/$name.chm
  if [ ! -s "$chm" ]; then
    fail "$chm is missing or empty (is chmcmd installed?)"
    continue
  fi
  out=$scratch/$name
  if ! "$extract" "$chm" "$out" >/dev/null 2>&1; then
    fail "extract_chmLib could not unpack $chm"
    continue
  fi

  # The [FILES] section, without blank lines or carriage returns.
  files=$(tr -d '\r' <"$hhp" | awk '/^\[/{inside = ($0 == "[FILES]"); next} inside && NF {print}')
  [ -n "$files" ] || fail "$hhp lists no files"
  for f in $files; do
    if [ ! -s "$out/$f" ]; then
      fail "$name.chm lacks $f or it is empty"
    elif ! cmp -s "$project_dir/$f" "$out/$f"; then
      fail "$name.chm holds an old $f (rebuild needed)"
    fi
  done

  # Contents and index travel with the file, and every page sits in both the
  # project and the contents.
  hhc=$(tr -d '\r' <"$hhp" | sed -n 's/^Contents file=//p')
  hhk=$(tr -d '\r' <"$hhp" | sed -n 's/^Index file=//p')
  [ -s "$out/$hhc" ] || fail "$name.chm lacks its contents file $hhc"
  [ -s "$out/$hhk" ] || fail "$name.chm lacks its index file $hhk"
  contents_pages=$(sitemap_locals "$project_dir/$hhc" | sed 's/#.*//' | sort -u)
  for page in "$project_dir"/*.html; do
    base=$(basename "$page")
    printf '%s\n' $files | grep -qx "$base" || fail "$name: $base is not listed in $name.hhp"
    printf '%s\n' $contents_pages | grep -qx "$base" || fail "$name: $base is not in the contents $hhc"
  done

  # Every target named by the contents, the index and the pages.
  for sitemap in "$hhc" "$hhk"; do
    [ -s "$out/$sitemap" ] || continue
    for target in $(sitemap_locals "$out/$sitemap"); do
      check_target "$out" "$sitemap" "$target"
    done
  done
  for f in $files; do
    case $f in *.html) ;; *) continue ;; esac
    for target in $(grep -o 'href="[^"]*"' "$out/$f" | sed 's/href="\([^"]*\)"/\1/'); do
      case $target in
        http:*|https:*|mailto:*|ms-its:*|mk:*) continue ;;
        '#'*) check_target "$out" "$f" "$f$target" ;;
        *) check_target "$out" "$f" "$target" ;;
      esac
    done
    non_ascii=$(LC_ALL=C tr -d '\000-\177' <"$out/$f" | wc -c)
    [ "$non_ascii" -eq 0 ] || fail "$name: $f holds $non_ascii non-ASCII bytes"
  done
done
[ "$projects" -eq 2 ] || fail "expected the two help projects ZeltoPrg and DemoPlugin, found $projects"

# The scripts page documents every keyword, and the index leads to each.
scripts=$scratch/ZeltoPrg/scripts.html
index=$scratch/ZeltoPrg/ZeltoPrg.hhk
keywords=$(grep -v '^#' "$keyword_list" | tr -d '\r' | awk 'NF {print $1}')
count=$(printf '%s\n' $keywords | wc -l)
[ "$count" -eq 51 ] || fail "$keyword_list holds $count keywords, not 51"
if [ -s "$scripts" ]; then
  for kw in $keywords; do
    grep -Eq "<td>(<a name=\"$kw\">)?$kw(</a>)?</td>" "$scripts" \
      || fail "scripts.html has no table entry for the keyword $kw"
    [ -s "$index" ] && { grep -q "value=\"$kw (script keyword)\"" "$index" \
      || fail "ZeltoPrg.hhk has no index entry for the keyword $kw"; }
  done
else
  fail "ZeltoPrg.chm has no scripts.html"
fi

if [ "$failures" -ne 0 ]; then
  echo "$failures problem(s) in the help files"
  exit 1
fi
echo "help files OK: $projects projects, $count script keywords"
