#!/usr/bin/env bash
# Installs what is missing, builds the program (not the tests), installs it for this user
# into ~/.local (which puts it into the desktop's menu), prepares the data folder outside
# the build tree and starts Quillcase.
source "$(dirname "$0")/tools/common.sh"

qc_install "${QC_BUILD_PACKAGES[@]}" "${QC_RUNTIME_PACKAGES[@]}"
qc_configure
echo "Building Quillcase…"
cmake --build "$QC_BUILD" -j"$(nproc)" --target quillcase quillcase-initdb quillcase-help quillcase-man >/dev/null

prefix="$HOME/.local"
cmake --install "$QC_BUILD" --prefix "$prefix" >/dev/null
command -v update-desktop-database >/dev/null && update-desktop-database -q "$prefix/share/applications" || true
command -v gtk-update-icon-cache >/dev/null && gtk-update-icon-cache -q -t "$prefix/share/icons/hicolor" || true

# The installed program's data folder: $XDG_DATA_HOME/Quillcase/data, ~/.local/share when
# XDG_DATA_HOME is unset or not an absolute path.
case "${XDG_DATA_HOME:-}" in
    /*) data_home="$XDG_DATA_HOME" ;;
    *) data_home="$HOME/.local/share" ;;
esac
data="$data_home/Quillcase/data"
parent="$(dirname "$data")"
old="$QC_BUILD/data"

parent_existed=false
[ -d "$parent" ] && parent_existed=true

# Says why (and where old records stay) and ends; a parent folder made for the data folder
# goes again when it is empty.
kept=""
fail() {
    echo "$1$kept" >&2
    $parent_existed || rmdir "$parent" 2>/dev/null || true
    exit 1
}

# A hidden folder beside the data folder, owner-only; filled, then renamed into place in one step.
staging_folder() {
    mkdir -p "$parent" 2>/dev/null || fail "无法创建文件夹“$parent”，未建立病历数据文件夹。"
    mktemp -d "$parent/.data-new-XXXXXX" 2>/dev/null || fail "无法在“$parent”中写入，未建立病历数据文件夹。"
}

if [ -d "$old" ] && [ ! -e "$data" ]; then
    # The records of an earlier ./run.sh, kept inside the build folder: moved out once,
    # every file copied and compared before the old folder goes.
    kept="病历数据仍全部在“$old”，没有删除任何文件。"
    tmp="$(staging_folder)"
    # cp -a gives the copy the old folder's mode; the data folder is the owner's alone.
    if cp -a "$old/." "$tmp/" && chmod 700 "$tmp" && diff -r "$old" "$tmp" >/dev/null && sync \
        && mv -T "$tmp" "$data"; then
        rm -rf "$old"
        echo "病历数据已从“$old”移到“$data”。"
    else
        rm -rf "$tmp"
        fail "未能把病历数据移到“$data”。"
    fi
elif [ -d "$old" ]; then
    echo "注意：“$old”中还有以前的病历数据，现在使用的是“$data”；两处都未改动。" >&2
fi

if [ ! -e "$data" ]; then
    # A first start: an empty database, the starter phrase files and the picture root.
    tmp="$(staging_folder)"
    if mkdir "$tmp/images" && cp "$QC_ROOT"/data/*.txt "$tmp/" && "$QC_BUILD/quillcase-initdb" "$tmp" >/dev/null \
        && sync && mv -T "$tmp" "$data"; then
        echo "已建立病历数据文件夹“$data”。"
    else
        rm -rf "$tmp"
        fail "无法建立病历数据文件夹“$data”，未留下任何文件。"
    fi
fi

exec "$prefix/bin/quillcase" "$@"
