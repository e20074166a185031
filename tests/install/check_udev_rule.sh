#!/usr/bin/env bash
# check_udev_rule.sh RULES_FILE: runs the udev rule, read as udev reads it
# (KEY{ATTRIBUTE}OP"VALUE" pairs, glob patterns, GOTO and LABEL), against
# devices laid out as sysfs shows them: the display channels of graphics
# cards get the uaccess tag, no other I2C adapter and no other device does.
# Where udevadm has `verify` (systemd 253 and later) it checks the file too.
set -euo pipefail
rules=$1
fail() { echo "FAIL: $*" >&2; exit 1; }
pair='^([A-Z]+(\{[a-z_]+\})?)(==|!=|\+=|-=|:=|=)"([^"]*)"(,[[:space:]]*|[[:space:]]*$)(.*)$'

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
    local skip_to="" tags="" line rest key op value actual class matched assignments
    while IFS= read -r line || [ -n "$line" ]; do
        [[ $line =~ ^[[:space:]]*(#|$) ]] && continue
        rest=$line matched=1 assignments=""
        while [ -n "$rest" ]; do
            [[ $rest =~ $pair ]] || fail "cannot read '$rest'"
            key=${BASH_REMATCH[1]} op=${BASH_REMATCH[3]} value=${BASH_REMATCH[4]} rest=${BASH_REMATCH[6]}
            case $op in
                ==|!=)
                    case $key in
                        ACTION) actual=$action ;;
                        SUBSYSTEM) actual=$subsystem ;;
                        KERNEL) actual=$kernel ;;
                        'ATTR{name}') actual=$name ;;
                        'ATTRS{class}')  # any ancestor with the attribute may match
                            actual="(none)"
                            for class in $classes; do
                                if [ "$class" != - ] && matches "$class" "$value"; then actual=$class; break; fi
                            done ;;
                        *) fail "$key$op: not a match this test knows" ;;
                    esac
                    if matches "$actual" "$value"; then [ "$op" = "==" ] || matched=0
                    else [ "$op" = "!=" ] || matched=0; fi ;;
                *)
                    [[ " TAG+= GOTO= LABEL= " == *" $key$op "* ]] || fail "$key$op: not an assignment for this rule"
                    assignments+=" $key=$value" ;;
            esac
        done
        if [ -n "$skip_to" ]; then
            [ "$assignments" = " LABEL=$skip_to" ] && skip_to=""
            continue
        fi
        [ $matched -eq 1 ] || continue
        for assignment in $assignments; do
            case $assignment in
                TAG=*) tags+=" ${assignment#TAG=}" ;;
                GOTO=*) skip_to=${assignment#GOTO=} ;;
            esac
        done
    done <"$rules"
    [ -z "$skip_to" ] || fail "GOTO=\"$skip_to\" has no LABEL"
    echo "${tags# }"
}

# EXPECTED TAGS ("-" none) | ACTION | SUBSYSTEM | KERNEL | NAME | ANCESTOR CLASSES
while IFS='|' read -r expected action subsystem kernel name classes; do
    got=$(tags "$action" "$subsystem" "$kernel" "$name" "$classes")
    [ "${got:--}" = "$expected" ] || fail "$subsystem $kernel '$name' ($classes): tags '$got', expected '$expected'"
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
