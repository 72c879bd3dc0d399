# Debian source packages for the build, sourced by its scripts. apt works with a private state
# under the build tree (the system's own is never touched) and its own sandbox, on the address
# of the machine's Debian archive as apt itself is configured: the repository names no host.

# The machine's Debian archive and its security archive, from apt's deb822 sources or its
# one-line lists: "main URI" and "security URI", one line each.
archive_uris() {
  local file
  for file in /etc/apt/sources.list.d/*.sources; do
    [ -f "$file" ] || continue
    awk 'BEGIN { RS = ""; FS = "\n" }
         { uri = ""; suites = ""
           for (i = 1; i <= NF; i++) {
             if ($i ~ /^URIs:/) { uri = $i; sub(/^URIs:[ \t]*/, "", uri); sub(/[ \t].*/, "", uri) }
             if ($i ~ /^Suites:/) { suites = $i } }
           if (uri != "" && suites ~ /-security/) print "security " uri; else if (uri != "") print "main " uri }' "$file"
  done
  for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$file" ] || continue
    awk '$1 == "deb" || $1 == "deb-src" { uri = $2; if ($2 ~ /^\[/) uri = $3
                                          print ($0 ~ /-security/ ? "security " : "main ") uri }' "$file"
  done
}

# Prepares apt's private state in DIR for the sources of each RELEASE ("trixie": the release,
# its updates and its security fixes) and reads their indexes. Sets apt_opts.
apt_setup() {
  local dir=$1 keyring=/usr/share/keyrings/debian-archive-keyring.gpg main security release
  shift
  main=$(archive_uris | sed -n 's/^main //p' | head -n 1)
  security=$(archive_uris | sed -n 's/^security //p' | head -n 1)
  if [ -z "$main" ]; then echo "debian-sources: apt names no Debian archive on this machine" >&2; return 1; fi
  mkdir -p "$dir/lists/partial" "$dir/cache/archives/partial"
  for release in "$@"; do
    echo "deb-src [signed-by=$keyring] $main $release main"
    echo "deb-src [signed-by=$keyring] $main $release-updates main"
    [ -n "$security" ] && echo "deb-src [signed-by=$keyring] $security $release-security main"
  done > "$dir/sources.list"
  # apt's sandbox user writes what it downloads: it gets the private folders.
  if [ "$(id -u)" -eq 0 ] && id _apt >/dev/null 2>&1; then chown -R _apt "$dir/lists" "$dir/cache"; fi
  apt_opts=(-o "Dir::Etc::SourceList=$dir/sources.list" -o Dir::Etc::SourceParts=/dev/null
            -o "Dir::State::Lists=$dir/lists" -o "Dir::Cache=$dir/cache")
  apt-get "${apt_opts[@]}" -qq update
}

# The Debian releases the lock's packages come from: its release, and any a package names
# after its version (a version gone from the release's pool that an older release still has).
locked_releases() { awk '$1 == "release" { print $2 } $1 == "source" && NF > 3 { print $4 }' "$1" | sort -u; }
# The lock's packages and their versions: "ffmpeg 7:7.1.5-0+deb13u1", a line each.
locked_versions() { awk '$1 == "source" { print $2, $3 }' "$1"; }
# Whether the lock has only PACKAGE's upstream tarball.
locked_orig_only() { awk -v p="$2" '$1 == "source" && $2 == p && $5 == "orig-only" { found = 1 } END { exit !found }' "$1"; }
# The lock's lines of the PACKAGES named after it, to key a build by the sources it uses.
locked_lines() {
  local lock=$1
  shift
  awk -v want=" $* " '$1 == "source" { on = index(want, " " $2 " ") > 0 } $1 != "source" && $1 != "file" { on = 0 } on' "$lock"
}
# The files of PACKAGE in the lock: "name sha256", a line each.
locked_files() {
  awk -v p="$2" '$1 == "source" { on = ($2 == p) } on && $1 == "file" { print $2, $3 }' "$1"
}

# For a tool built from the lock's PACKAGES ("libmediainfo libzen zlib"): sets `versions`
# (their lines "package version") and `cache` (WORK/NAME/KEY, keyed by those packages' lines and
# the FILES that build it), and makes WORK/sources hold the lock's files.
tool_cache() {
  local lock=$1 work=$2 name=$3 packages=$4
  shift 4
  versions=$(locked_versions "$lock" | grep -E "^(${packages// /|}) ")
  cache=$work/$name/$( { locked_lines "$lock" $packages; cat "$@"; } | sha256sum | cut -c1-16 )
  ensure_sources "$lock" "$work"
}

# Copies the lock's files of each PACKAGE from WORK/sources into DIR, which travels with the program.
copy_sources() {
  local lock=$1 work=$2 dir=$3 package name
  shift 3
  mkdir -p "$dir"
  for package in "$@"; do
    locked_files "$lock" "$package" | while read -r name _; do cp -u "$work/sources/$name" "$dir/"; done
  done
}

# Makes WORK/sources hold every file of the lock: the archive is asked only when one is not
# already there and whole.
ensure_sources() {
  local lock=$1 work=$2 package
  for package in $(locked_versions "$lock" | cut -d' ' -f1); do
    check_locked "$lock" "$work/sources" "$package" 2>/dev/null && continue
    apt_setup "$work/apt" $(locked_releases "$lock")
    fetch_locked "$lock" "$work/sources"
    return
  done
}

# Downloads each package of the lock into DIR and checks every file against the lock; stops,
# naming the file, at any that is missing or changed. A file already there and whole is kept.
fetch_locked() {
  local lock=$1 dir=$2 package version name sum
  mkdir -p "$dir"
  if [ "$(id -u)" -eq 0 ] && id _apt >/dev/null 2>&1; then chown _apt "$dir"; fi
  while read -r package version; do
    # apt fails a package whose Debian part is gone, yet leaves its upstream tarball: the
    # lock says which files must be there.
    if ! check_locked "$lock" "$dir" "$package" 2>/dev/null; then
      (cd "$dir" && apt-get "${apt_opts[@]}" -qq source --download-only "$package=$version" >/dev/null 2>&1) || true
    fi
    check_locked "$lock" "$dir" "$package" ||
      { echo "debian-sources: $package $version does not download from Debian's archive" >&2; return 1; }
  done < <(locked_versions "$lock")
}

# Checks PACKAGE's files in DIR against the lock, naming the first that is missing or changed.
check_locked() {
  local lock=$1 dir=$2 package=$3 name sum
  while read -r name sum; do
    if [ ! -f "$dir/$name" ]; then echo "debian-sources: $name is missing" >&2; return 1; fi
    if [ "$(sha256sum "$dir/$name" | cut -c1-64)" != "$sum" ]; then
      echo "debian-sources: $name does not match its SHA-256 in the lock" >&2
      return 1
    fi
  done < <(locked_files "$lock" "$package")
}
