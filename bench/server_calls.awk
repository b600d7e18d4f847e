# Calls into the window server per keystroke, from a wineserver trace
# (wineserver -d1, or WINEDEBUG=+server) of a run of
# "k307bench_driver ... --calls N", which marks the typing with named events
# (see bench/driver_win.cpp). The server writes one line per request it
# serves, "TTTT: name( arguments )" with the calling thread's id, and one per
# reply, "TTTT: name() = ..."; it serves one request at a time, so a
# program's requests between the marks "key K" and "key K+1" (or "end") are
# what key K cost it, the painting after it included.
#
#   awk -f bench/server_calls.awk TRACE >>results.md
#
# Prints Markdown: the requests per key of each program typed into (the
# first key, which replaces the selected "(無指定)", left out), and the mean
# per key of each request by name, the palette's against the floor's.

function mark(line, text, f, n, t, i) {
    text = line
    sub(/.*name=L"k307bench /, "", text)
    sub(/".*/, "", text)
    n = split(text, f, " ")
    if (f[1] == "begin") {
        program = f[2]
        order[++programs] = program
        for (i in tids) delete tids[i]
        n = split(f[3], t, ",")
        for (i = 1; i <= n; i++) tids[t[i]] = 1
        key = 0
    } else if (f[1] == "key") {
        key = f[2] + 0
        if (key > last[program]) last[program] = key
    } else {
        program = ""
        key = 0
    }
}

# Sorts a[1..n] in place (n is small: a few hundred keys, a few dozen names).
function sort(a, n, i, j, v) {
    for (i = 2; i <= n; i++) {
        v = a[i]
        for (j = i - 1; j >= 1 && a[j] > v; j--) a[j + 1] = a[j]
        a[j + 1] = v
    }
}

/name=L"k307bench / && /create_event\( / {
    mark($0)
    next
}

program != "" && key > 1 {
    colon = index($0, ":")
    if (colon == 0 || !(substr($0, 1, colon - 1) in tids)) next
    rest = substr($0, colon + 2)
    if (rest !~ /^[a-z_0-9]+\( /) next  # a reply, a wake-up, a file descriptor
    name = rest
    sub(/\(.*/, "", name)
    perKey[program, key]++
    byName[program, name]++
    names[name] = 1
}

END {
    if (programs < 2) {
        print "server_calls.awk: no marked typing in the trace" > "/dev/stderr"
        exit 1
    }
    a = order[1]
    b = order[2]
    for (p = 1; p <= 2; p++) {
        prog = order[p]
        n = 0
        for (k = 2; k <= last[prog]; k++) v[++n] = perKey[prog, k] + 0
        sort(v, n)
        keys[prog] = n
        med[prog] = n % 2 ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2
        lo[prog] = v[1]
        hi[prog] = v[n]
    }
    printf "Window server requests per key (wineserver trace, keys 2 to %d of one run each):\n\n", last[a]
    printf "| Measure | %s | %s | / %s |\n|---|---|---|---|\n", a, b, b
    printf "| Requests per key, median (min – max) | %g (%g – %g) | %g (%g – %g) | %.2f |\n\n", med[a], lo[a], hi[a],
        med[b], lo[b], hi[b], med[b] ? med[a] / med[b] : 0
    # By name, the largest difference first.
    n = 0
    for (name in names) {
        ma = byName[a, name] / keys[a]
        mb = byName[b, name] / keys[b]
        # Sortable: the difference, offset and zero-padded, then the name.
        line[++n] = sprintf("%012.3f %s %.2f %.2f", 1e6 - (ma - mb), name, ma, mb)
    }
    sort(line, n)
    printf "| Request, mean per key | %s | %s | %s − %s |\n|---|---|---|---|\n", a, b, a, b
    for (i = 1; i <= n; i++) {
        split(line[i], f, " ")
        printf "| %s | %.2f | %.2f | %+.2f |\n", f[2], f[3], f[4], f[3] - f[4]
    }
}
