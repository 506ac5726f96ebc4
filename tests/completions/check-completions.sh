#!/usr/bin/env bash
# zr417-cli's generated shell completions know what the program knows: every
# command and option of its --help in bash, zsh and fish, and in bash the
# words offered for commands, options, set's fields, ports and files.
# usage: check-completions.sh BUILD_DIR
build=$(cd "$1" && pwd)
cli=$build/bin/zr417-cli
comp=$build/completions
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# shellcheck source=/dev/null
source "$comp/zr417-cli" || { echo "FAIL: the bash completion does not load" >&2; exit 1; }
complete -p zr417-cli | grep -q -- '-F _zr417_cli' || fail "complete -p zr417-cli names no function"

# The words offered for a command line split as bash splits it; the last word
# is the one being completed.
offered() {
  COMP_WORDS=(zr417-cli "$@")
  COMP_CWORD=$#
  COMPREPLY=()
  _zr417_cli 2>/dev/null
  printf '%s\n' "${COMPREPLY[@]}"
}
expect() {  # expect WORD LINE... : WORD is among the words offered for LINE
  local word=$1; shift
  offered "$@" | grep -qxF -- "$word" || fail "'zr417-cli $*<TAB>' does not offer '$word'"
}
refuse() {
  local word=$1; shift
  offered "$@" | grep -qxF -- "$word" && fail "'zr417-cli $*<TAB>' offers '$word'"
}

global_options=$("$cli" --help | awk '/^Options/ {on = 1; next} /^$/ {on = 0} on' | grep -o -- '--[a-z][a-z-]*' | tr '\n' ' ')
[ -n "$global_options" ] || fail "no global options in zr417-cli --help"
commands=$("$cli" --help | awk '/^Commands:/ {on = 1; next} /^$/ {on = 0} on && /^  [a-z]/ {print $1}' | sort -u)
[ -n "$commands" ] || fail "no commands in zr417-cli --help"
for cmd in $commands; do
  expect "$cmd" ""
  # The option lines of the help: "  -h, --help  ..." or "  --port <PORT>  ...".
  options=$("$cli" "$cmd" --help | grep -E '^ +-' |
            awk '{for (i = 1; i <= NF; i++) if ($i ~ /^--[a-z]/) {sub(/[^a-z-].*/, "", $i); print $i; break}}' | sort -u)
  [ -n "$options" ] || fail "no options in zr417-cli $cmd --help"
  zsh_block=$(awk -v c="        $cmd)" '$0 == c {on = 1} on {print} on && /;;/ {exit}' "$comp/_zr417-cli")
  for o in $options; do
    expect "$o" "$cmd" --
    case " $global_options " in
      *" $o "*) global=1 ;;
      *) global=0 ;;
    esac
    if [ "$global" = 0 ]; then
      grep -qF -- "'$o" <<<"$zsh_block" || fail "zsh: $cmd lacks $o"
      grep -qE -- "__fish_seen_subcommand_from $cmd' .*-l ${o#--} " "$comp/zr417-cli.fish" || fail "fish: $cmd lacks $o"
    else
      grep -qF -- "'$o" "$comp/_zr417-cli" || fail "zsh: no global $o"
      grep -qE -- "^complete -c zr417-cli( -s .)? -l ${o#--} " "$comp/zr417-cli.fish" || fail "fish: no global $o"
    fi
  done
  grep -qE -- "-a $cmd -d" "$comp/zr417-cli.fish" || fail "fish: no command $cmd"
  grep -qE -- "'$cmd:" "$comp/_zr417-cli" || fail "zsh: no command $cmd"
done
expect -v -
expect --version --

# set's field names: every settings field that show --json names, model= and band=.
fields=$("$cli" show "$build/bin/DefRadioSet_VHF.def" --json |
         python3 -c 'import json,sys; print("\n".join(json.load(sys.stdin)["settings"]))')
[ -n "$fields" ] || fail "show --json names no settings"
set_words=$(offered set F.dat "")
while IFS= read -r f; do
  grep -qxF -- "$(printf '%q' "$f")=" <<<"$set_words" || fail "set does not offer $f="
done <<<"$fields"
for w in model= band=; do grep -qxF "$w" <<<"$set_words" || fail "set does not offer $w"; done
cbo=$(offered set F.dat cbo)
[ -n "$cbo" ] || fail "'set F.dat cbo<TAB>' offers nothing"
grep -qv '^cbo' <<<"$cbo" && fail "'set F.dat cbo<TAB>' offers words not starting with cbo"
expect cboTot= set F.dat cboT
refuse cboTot= set F.dat cboTot = ""
expect 'cboVoxCmpDat\(1\)=' set F.dat 'cboVoxCmpDat\('

# Ports: the numbers 1 to 16, in both option spellings.
for w in 1 9 16; do
  expect "$w" read --port ""
  expect "$w" write --port = ""
done
refuse 17 read --port ""
expect ours channels F.dat --format ""
expect chirp channels F.dat --format = ch

# Files by extension, directories to go on from.
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
mkdir "$dir/sub"
touch "$dir/a.dat" "$dir/b.txt" "$dir/c.csv" "$dir/d.bin" "$dir/e.def"
cd "$dir" || exit 1
expect a.dat show ""
expect sub show ""
expect d.bin diff a.dat ""
refuse b.txt show ""
refuse c.csv show ""
expect c.csv channels a.dat --export ""
refuse a.dat channels a.dat --export ""
expect e.def --config ""
expect e.def --config = ""
expect a.dat set ""
refuse a.dat read ""

# zsh and fish read their files.
if command -v zsh >/dev/null; then zsh -n "$comp/_zr417-cli" || fail "zsh -n"; fi
if command -v fish >/dev/null; then
  fish -n "$comp/zr417-cli.fish" || fail "fish -n"
  fish_words=$(fish --no-config -c "source '$comp/zr417-cli.fish'; complete -C 'zr417-cli show '; complete -C 'zr417-cli set a.dat cboT'" |
               cut -f1)
  for w in a.dat sub/ cboTot=; do grep -qxF "$w" <<<"$fish_words" || fail "fish does not offer $w"; done
  grep -qxF b.txt <<<"$fish_words" && fail "fish offers b.txt for show"
fi

[ "$failures" = 0 ] || { echo "$failures failure(s)" >&2; exit 1; }
echo "completions agree with zr417-cli --help"
