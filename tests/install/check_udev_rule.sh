#!/usr/bin/env bash
# check_udev_rule.sh RULES_FILE: reads the udev rule as udev does (keys,
# operators, quoted values, GOTO and LABEL) and runs it against devices laid
# out as sysfs shows them: the display channels of graphics cards get the
# uaccess tag, no other I2C adapter and no other device does. Where udevadm
# has `verify` (systemd 253 and later) it checks the file as well.
set -euo pipefail
rules=$1
fail() { echo "FAIL: $*" >&2; exit 1; }

match_keys=" ACTION SUBSYSTEM KERNEL ATTR ATTRS TAG "
assign_keys=" TAG GOTO LABEL "

# Splits each rule into KEY<TAB>OP<TAB>VALUE lines, one rule after another
# ending in an empty line; a malformed or unknown key fails with its line.
parse() {
    local number=0 line rest key op value
    while IFS= read -r line || [ -n "$line" ]; do
        number=$((number + 1))
        [[ $line =~ ^[[:space:]]*(#|$) ]] && continue
        rest=$line
        while [ -n "$rest" ]; do
            [[ $rest =~ ^([A-Z]+)(\{[a-z_]+\})?(==|!=|\+=|-=|:=|=)\"([^\"]*)\"(,[[:space:]]*|[[:space:]]*$)(.*)$ ]] ||
                fail "line $number: cannot read '$rest'"
            key=${BASH_REMATCH[1]}${BASH_REMATCH[2]}
            op=${BASH_REMATCH[3]} value=${BASH_REMATCH[4]} rest=${BASH_REMATCH[6]}
            case $op in
                ==|!=) [[ $match_keys == *" ${key%%\{*} "* ]] || fail "line $number: $key is not matched by this rule's kind (ACTION SUBSYSTEM KERNEL ATTR ATTRS TAG)" ;;
                *) [[ $assign_keys == *" ${key%%\{*} "* ]] || fail "line $number: $key is not set by this rule's kind (TAG GOTO LABEL)" ;;
            esac
            printf '%s\t%s\t%s\n' "$key" "$op" "$value"
        done
        echo
    done <"$rules"
}
parsed=$(parse)
labels=$(awk -F'\t' '$1 == "LABEL" {print $3}' <<<"$parsed")
for goto in $(awk -F'\t' '$1 == "GOTO" {print $3}' <<<"$parsed"); do
    grep -qxF "$goto" <<<"$labels" || fail "GOTO=\"$goto\" has no LABEL"
done

# matches VALUE PATTERN: udev's patterns are shell globs, | between choices.
matches() {
    local choice
    IFS='|' read -ra choices <<<"$2"
    for choice in "${choices[@]}"; do
        # shellcheck disable=SC2053
        [[ $1 == $choice ]] && return 0
    done
    return 1
}

# tags ACTION SUBSYSTEM KERNEL NAME CLASSES: the tags the rule gives a node
# whose name attribute is NAME and whose ancestors carry the PCI classes
# CLASSES (nearest first, "-" for one without a class attribute).
tags() {
    local action=$1 subsystem=$2 kernel=$3 name=$4 classes=$5
    local skip_to="" matched=1 tags="" key op value actual class
    local -a pending=()
    while IFS=$'\t' read -r key op value; do
        if [ -z "$key" ]; then
            if [ $matched -eq 1 ]; then
                for entry in "${pending[@]}"; do
                    IFS=$'\t' read -r key op value <<<"$entry"
                    case $key in
                        TAG) tags+=" $value" ;;
                        GOTO) skip_to=$value ;;
                    esac
                done
            fi
            matched=1 pending=()
            continue
        fi
        if [ -n "$skip_to" ]; then
            [ "$key" = LABEL ] && [ "$value" = "$skip_to" ] && skip_to=""
            continue
        fi
        case $op in
            ==|!=)
                case $key in
                    ACTION) actual=$action ;;
                    SUBSYSTEM) actual=$subsystem ;;
                    KERNEL) actual=$kernel ;;
                    'ATTR{name}') actual=$name ;;
                    'ATTRS{class}')
                        # Any ancestor that has the attribute may match.
                        actual=""
                        for class in $classes; do
                            if [ "$class" != - ] && matches "$class" "$value"; then actual=$class; break; fi
                        done
                        [ -n "$actual" ] || actual="(none)" ;;
                    *) fail "the test does not know $key yet" ;;
                esac
                if matches "$actual" "$value"; then [ "$op" = "==" ] || matched=0
                else [ "$op" = "!=" ] || matched=0; fi ;;
            *) pending+=("$key"$'\t'"$op"$'\t'"$value") ;;
        esac
    done <<<"$parsed"$'\n\n'
    echo "${tags# }"
}

# EXPECTED TAGS ("-" none) | ACTION | SUBSYSTEM | KERNEL | NAME | ANCESTOR CLASSES
while IFS='|' read -r expected action subsystem kernel name classes; do
    [ -n "$expected" ] || continue
    got=$(tags "$action" "$subsystem" "$kernel" "$name" "$classes")
    got=${got:--}
    [ "$got" = "$expected" ] || fail "$subsystem $kernel '$name' ($classes): tags '$got', expected '$expected'"
done <<'ROWS'
uaccess|add|i2c-dev|i2c-3|i915 gmbus vga|- 0x030000
uaccess|add|i2c-dev|i2c-9|DPDDC-B|- - - 0x030000
uaccess|add|i2c-dev|i2c-4|AMDGPU DM i2c hw bus 0|- 0x030000 0x060400
uaccess|add|i2c-dev|i2c-6|nvkm-0000:01:00.0-bus-0005|- 0x030200 0x060400
uaccess|change|i2c-dev|i2c-3|i915 gmbus vga|- 0x030000
-|add|i2c-dev|i2c-0|SMBus I801 adapter at efa0|- 0x0c0500
-|add|i2c-dev|i2c-1|Synopsys DesignWare I2C adapter|- - 0x118000
-|add|i2c-dev|i2c-12|i2c-ch341-usb at bus 001 device 004|- - - - 0x0c0330
-|add|i2c-dev|i2c-5|AMDGPU SMU 0|- 0x030000 0x060400
-|remove|i2c-dev|i2c-3|i915 gmbus vga|- 0x030000
-|add|drm|card0||0x030000
-|add|i2c|i2c-3|i915 gmbus vga|0x030000
ROWS

if udevadm --help 2>/dev/null | grep -q '^  verify'; then
    udevadm verify --no-style "$rules" || fail "udevadm verify"
fi
echo "udev rule is sound"
