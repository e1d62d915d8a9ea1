#!/usr/bin/env bash
# A screen reader's view of the main window, in each of the six languages:
# every check box, password field and choice list is named by the caption of
# the label beside it, and no control a user operates is nameless.
source "$(dirname "${BASH_SOURCE[0]}")/session.sh"
texts="$E2E_DIR/../../src/i18n/texts.tsv"
labels=(Tr_DeletePSLabel Tr_StartOnBootLabel Tr_UseBBoxLabel Tr_EncryptLabel Tr_BetterPicturesLabel
    Tr_KeepGsRunningLabel Tr_QualityLabel Tr_LanguageLabel Tr_OwnerPasswordLabel Tr_UserPasswordLabel)

column=2
for language in GB DE FR IT NL FI; do
    setting Language "$language"
    start_program
    wait_for 'atspi controls 2>/dev/null | grep -q "^password text"' \
        || fail "$language: no password field on the accessibility bus"
    shown=$(atspi controls)
    nameless=$(printf '%s\n' "$shown" | awk -F'\t' '$2 == ""')
    [ -z "$nameless" ] || fail "$language: nameless controls: $nameless"
    for id in "${labels[@]}"; do
        caption=$(awk -F'\t' -v id="$id" -v c="$column" '$1 == id { print $c }' "$texts")
        printf '%s\n' "$shown" | grep -qE "^(check box|password text|combo box)"$'\t'"$(printf '%s' "$caption" | sed 's/[][\.*^$?+(){}|/]/\\&/g')\$" \
            || fail "$language: no control named '$caption' ($id) among: $shown"
    done
    close_program
    column=$((column + 1))
done
echo "accessible names in six languages: passed"
