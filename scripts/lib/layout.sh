# Where an installation under a prefix puts things; sourced by scripts/install and
# scripts/uninstall. Sets: prefix, bundle_name, bundle, helper_exe, entry, cli, service_exe,
# service_file, app_bundle_name, app_bundle, app_exe, app_entry, menu_autostart_entry,
# icons_dir, icon_files.

prefix=${1:-$HOME/.local}
case $prefix in
    *$'\n'*) echo "${0##*/}: the prefix must not contain a line break" >&2; exit 2 ;;
esac
prefix=$(realpath -m -- "$prefix")

bundle_name="Quillfen Helper.app"
bundle="$prefix/lib/quillfen/$bundle_name"
helper_exe="$bundle/Contents/MacOS/quillfen-helper"
entry="$prefix/share/applications/com.brenvoll.pellgrove.helper.desktop"
autostart_entry="${XDG_CONFIG_HOME:-$HOME/.config}/autostart/com.brenvoll.pellgrove.helper.desktop"
# The main app: its bundle beside the helper's, its desktop entry (how the desktop starts it),
# and its icon in the icon theme every desktop falls back to.
app_bundle_name="Quillfen.app"
app_bundle="$prefix/lib/quillfen/$app_bundle_name"
app_exe="$app_bundle/Contents/MacOS/quillfen-app"
app_entry="$prefix/share/applications/com.brenvoll.pellgrove.desktop"
# The menu-bar app's login item, which the main app writes when launch at login is on.
menu_autostart_entry="${XDG_CONFIG_HOME:-$HOME/.config}/autostart/com.brenvoll.pellgrove.menu.desktop"
icons_dir="$prefix/share/icons/hicolor"
icon_files=(scalable/apps/quillfen.svg)
for side in 16 22 24 32 48 64 128 256; do icon_files+=("${side}x${side}/apps/quillfen.png"); done
cli="$prefix/bin/quillfen"
service_exe="$prefix/bin/quillfen-service"
# The session bus starts the service on the first message to its name from this file.
service_file="$prefix/share/dbus-1/services/com.brenvoll.pellgrove.service.service"

# The Exec value of a desktop entry that runs "$1": quoted, with \ " ` $ escaped by a
# backslash and % doubled inside the quotes, then escaped once more as a string value.
desktop_exec() {
    local bs='\' q=$1
    q=${q//"$bs"/"$bs$bs"}
    q=${q//'"'/"$bs"'"'}
    q=${q//'`'/"$bs"'`'}
    q=${q//'$'/"$bs"'$'}
    q=${q//'%'/'%%'}
    q="\"$q\""
    q=${q//"$bs"/"$bs$bs"}
    printf '%s' "$q"
}

# The Exec value of a D-Bus service file that runs "$1": quoted, with \ and " escaped.
dbus_exec() {
    local bs='\' q=$1
    q=${q//"$bs"/"$bs$bs"}
    q=${q//'"'/"$bs"'"'}
    printf '"%s"' "$q"
}

# Replaces "$2" by "$1" so that no reader ever sees it half-written.
replace_with() {
    mv -f -- "$1" "$2"
}

# Writes the packaging template "$1" as "$3", its @EXEC@ replaced by the Exec value "$2".
render_template() {
    local template
    template=$(<"$1")
    printf '%s\n' "${template//@EXEC@/"$2"}" > "$3.new.$$"
    replace_with "$3.new.$$" "$3"
}

# The menu-bar app: its bundle inside the main app's, where the main app looks for it, and its
# desktop entry, kept out of the application menus (the main app and the login item start it).
# Sets: menu_bundle, menu_exe, menu_entry.
menu_bundle="$app_bundle/Contents/MacOS/Quillfen Menu.app"
menu_exe="$menu_bundle/Contents/MacOS/quillfen-menu"
menu_entry="$prefix/share/applications/com.brenvoll.pellgrove.menu.desktop"
