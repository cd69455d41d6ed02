# Sourced by the scripts that fetch from Debian themselves: the archive this
# machine's apt already uses, so a local mirror or proxy serves them too.
#   debian_archive [FILE...]  prints the archive's address, from apt's source
#                    files or the FILEs given; when they name no Debian
#                    release, says so on standard error and fails
#   apt_http_proxy   prints apt's HTTP proxy, if it has one

debian_archive() {
  local files=() f
  [ $# -gt 0 ] || set -- /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources
  for f in "$@"; do
    if [ -r "$f" ]; then files+=("$f"); fi
  done
  local found=
  if [ ${#files[@]} -gt 0 ]; then
    # One-line entries ("deb [options] URI SUITE COMPONENTS...") and deb822
    # stanzas ("Types:", "URIs:", "Suites:" separated by blank lines); the first
    # binary entry for a release (not its security or updates suite) wins.
    found=$(awk '
      function release(suite) {
        return suite ~ /^(oldoldstable|oldstable|stable|testing|unstable|bullseye|bookworm|trixie|forky|duke|sid)$/
      }
      function stanza_end() {
        if (types ~ /(^| )deb( |$)/) {
          n = split(suites, s, " ")
          for (i = 1; i <= n; i++) if (release(s[i])) { split(uris, u, " "); print u[1]; done = 1; exit }
        }
        types = uris = suites = ""
      }
      FNR == 1 { stanza_end() }
      FILENAME ~ /\.sources$/ {
        if ($0 ~ /^[ \t]*$/) { stanza_end(); next }
        if ($1 == "Types:") { $1 = ""; types = $0 }
        if ($1 == "URIs:") { $1 = ""; uris = $0 }
        if ($1 == "Suites:") { $1 = ""; suites = $0 }
        next
      }
      $1 == "deb" {
        f = 2
        if ($f ~ /^\[/) { while (f <= NF && $f !~ /\]$/) f++; f++ }
        if (release($(f + 1))) { print $f; done = 1; exit }
      }
      END { if (!done) stanza_end() }
    ' "${files[@]}")
  fi
  if [ -z "$found" ]; then
    echo "No Debian archive found in apt's sources ($*): add this machine's Debian mirror to" \
      "/etc/apt/sources.list.d/debian.sources (or sources.list), then try again." >&2
    return 1
  fi
  echo "$found"
}

apt_http_proxy() {
  local proxy=
  eval "$(apt-config shell proxy Acquire::http::Proxy 2>/dev/null)"
  echo "$proxy"
}
