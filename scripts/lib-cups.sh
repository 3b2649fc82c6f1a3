# shellcheck shell=bash
# A throwaway CUPS server for the printing tests, started and stopped by scripts/test. Source it after
# scripts/lib.sh; do not run it. Needs root (as_root): cupsd runs the PDF backend as root.
#
# It lives in a fresh folder /tmp/kadomel-cups.XXXXXXXX:
#   owner                     pid of the scripts/test run that made it (tells a live run from a leftover)
#   conf/                     cupsd.conf and cups-files.conf: listens on 127.0.0.1:<port> only, no
#                             browsing, no web interface, nothing asked of a client on this machine
#   spool/ cache/ state/ tmp/ the server's jobs, caches, pid file (state/cupsd.pid), temporary files
#   log/                      the server's and the PDF backend's logs
#   pdf/                      what the PDF printers print
# and the PDF backend's configuration /etc/cups/cups-pdf-kadomel-test-XXXXXXXX.conf: the backend of
# Debian's printer-driver-cups-pdf reads its configuration from /etc/cups only, one file per device
# (cups-pdf:/<name> reads cups-pdf-<name>.conf). The system's own CUPS service is not touched.
#
# Three printers use Debian's CUPS-PDF driver: KadomelPDF takes jobs; KadomelRefuses refuses them
# (cupsreject); KadomelStopped takes them and holds them (cupsdisable). The server's address goes to
# the tests as KADOMEL_TEST_CUPS (host:port), the output folder as KADOMEL_TEST_CUPS_OUT;
# KADOMEL_REQUIRE_CUPS=1 makes a printing test fail, not skip, without them.

CUPS_TMP_PREFIX=/tmp/kadomel-cups.
CUPS_BASE_PORT=56631
CUPS_PORT_TRIES=50
CUPS_TMP=""

cups_pdf_conf_of() {
    printf '/etc/cups/cups-pdf-kadomel-test-%s.conf' "${1##"$CUPS_TMP_PREFIX"}"
}

cupsd_pid_of() {
    as_root cat "$1/state/cupsd.pid" 2>/dev/null || true
}

# Stops the server of folder $1 if it runs, and removes the folder and its backend configuration.
remove_test_cups() {
    local dir="$1" pid
    pid="$(cupsd_pid_of "$dir")"
    if [ -n "$pid" ] && [ "$pid" -gt 0 ] 2>/dev/null && [ -d "/proc/$pid" ]; then
        as_root kill -TERM "$pid" 2>/dev/null || true
        for ((i = 0; i < 50; i++)); do
            [ -d "/proc/$pid" ] || break
            sleep 0.1
        done
    fi
    as_root rm -f "$(cups_pdf_conf_of "$dir")"
    as_root rm -rf "$dir"
}

# Folders of runs killed before they could clean up: the run that made the folder is gone.
remove_cups_leftovers() {
    local dir owner
    for dir in "$CUPS_TMP_PREFIX"*; do
        [ -d "$dir" ] || continue
        owner="$(cat "$dir/owner" 2>/dev/null || true)"
        if [ -n "$owner" ]; then
            [ -d "/proc/$owner" ] && continue
        elif [ -z "$(find "$dir" -maxdepth 0 -mmin +10 2>/dev/null)" ]; then
            continue
        fi
        say "removing leftover test print server $dir"
        remove_test_cups "$dir"
    done
}

write_cups_config() {
    local dir="$1" port="$2"
    as_root tee "$dir/conf/cups-files.conf" >/dev/null <<END
ServerRoot $dir/conf
RequestRoot $dir/spool
CacheDir $dir/cache
StateDir $dir/state
TempDir $dir/tmp
AccessLog $dir/log/access_log
ErrorLog $dir/log/error_log
PageLog $dir/log/page_log
ServerBin /usr/lib/cups
DataDir /usr/share/cups
DocumentRoot /usr/share/cups/doc-root
User lp
Group lp
SystemGroup root
FileDevice No
END
    as_root tee "$dir/conf/cupsd.conf" >/dev/null <<END
Listen 127.0.0.1:$port
LogLevel info
Browsing No
WebInterface No
DefaultAuthType None
<Location />
  Order allow,deny
  Allow 127.0.0.1
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
END
    # Debian's PDF backend turns the PostScript that CUPS makes into PDF with Ghostscript; its
    # configuration sends the files, its spool and log into this folder.
    as_root tee "$(cups_pdf_conf_of "$dir")" >/dev/null <<END
Out $dir/pdf
AnonDirName $dir/pdf
Spool $dir/cups-pdf-spool
Log $dir/log
Grp lp
END
}

# Starts cupsd on the first free port from CUPS_BASE_PORT up; prints the server's address.
start_cupsd() {
    local port=$CUPS_BASE_PORT try i
    for ((try = 0; try < CUPS_PORT_TRIES; try++, port++)); do
        port_busy "$port" && continue
        write_cups_config "$CUPS_TMP" "$port"
        as_root cupsd -f -c "$CUPS_TMP/conf/cupsd.conf" -s "$CUPS_TMP/conf/cups-files.conf" \
            </dev/null >>"$CUPS_TMP/log/cupsd.out" 2>&1 &
        for ((i = 0; i < 100; i++)); do
            if CUPS_SERVER="127.0.0.1:$port" lpstat -r 2>/dev/null | grep -q 'is running'; then
                echo "127.0.0.1:$port"
                return 0
            fi
            sleep 0.1
        done
        # Taken between the check and the start (another run), or not started: the next port.
        as_root kill "$(cupsd_pid_of "$CUPS_TMP")" 2>/dev/null || true
    done
    return 1
}

# Starts the server and adds the printers; exports KADOMEL_TEST_CUPS and KADOMEL_TEST_CUPS_OUT.
start_test_cups() {
    remove_cups_leftovers
    CUPS_TMP="$(as_root mktemp -d "${CUPS_TMP_PREFIX}XXXXXXXX")"
    echo "$$" | as_root tee "$CUPS_TMP/owner" >/dev/null
    as_root mkdir -p "$CUPS_TMP"/{conf,spool,cache,state,log,pdf,cups-pdf-spool}
    as_root mkdir -m 1777 "$CUPS_TMP/tmp"
    as_root chmod 0755 "$CUPS_TMP"
    local server
    if ! server="$(start_cupsd)"; then
        as_root cat "$CUPS_TMP/log/cupsd.out" "$CUPS_TMP/log/error_log" >&2 2>/dev/null || true
        die "the test print server did not start"
    fi
    local device="cups-pdf:/kadomel-test-${CUPS_TMP##"$CUPS_TMP_PREFIX"}" printer
    # pdftocairo makes the PostScript for the backend: it keeps the names of the glyphs, so the text
    # of the PDF stays readable (Debian's note on cups-pdf recommends it).
    for printer in KadomelPDF KadomelRefuses KadomelStopped; do
        CUPS_SERVER="$server" lpadmin -p "$printer" -v "$device" -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd \
            -E -o pdftops-renderer-default=pdftocairo 2>/dev/null ||
            die "cannot add the printer $printer to the test print server"
    done
    CUPS_SERVER="$server" cupsreject -r "テストのため受け付けません" KadomelRefuses ||
        die "cannot make KadomelRefuses refuse jobs"
    CUPS_SERVER="$server" cupsdisable -r "テストのため停止中" KadomelStopped || die "cannot stop KadomelStopped"
    export KADOMEL_TEST_CUPS="$server" KADOMEL_TEST_CUPS_OUT="$CUPS_TMP/pdf" KADOMEL_REQUIRE_CUPS=1
    say "test print server ready on $server (printers KadomelPDF, KadomelRefuses, KadomelStopped; PDF files in $CUPS_TMP/pdf)"
}

stop_test_cups() {
    [ -n "$CUPS_TMP" ] || return 0
    say "stopping and removing the test print server"
    remove_test_cups "$CUPS_TMP"
    CUPS_TMP=""
}
