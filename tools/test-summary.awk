# Used by tools/test: reads the JUnit files ctest wrote (--output-junit) for
# one preset and prints
#   <passed> <failed> <skipped>
# on the first line, then a line for each test that failed or was skipped:
#   skipped|failed<TAB><name>: <reason>
# Counts are of GoogleTest cases where a ctest test ran GoogleTest (the
# end-to-end suite is one ctest test of many cases), else of ctest tests.
# ctest's own verdict decides for a test whose GoogleTest output does not
# account for it (a crash, a timeout, a leak reported at exit, not run).
#
#   awk -f tools/test-summary.awk FILE...

function unxml(s) {
    gsub(/&lt;/, "<", s)
    gsub(/&gt;/, ">", s)
    gsub(/&quot;/, "\"", s)
    gsub(/&apos;/, "'", s)
    gsub(/&#x[dD];|&#13;/, "", s)
    gsub(/&amp;/, "\\&", s)
    return s
}

function attr(line, key,    rest) {
    if (!match(line, key "=\"[^\"]*\"")) return ""
    rest = substr(line, RSTART + length(key) + 2, RLENGTH - length(key) - 3)
    return unxml(rest)
}

# The ctest name, and the case's own when it is not already its end (the
# discovered unit.<Suite>.<Case> carries it; e2e does not).
function label(test, gcase) {
    if (gcase == "" || substr(test, length(test) - length(gcase) + 1) == gcase) return test
    return test ": " gcase
}

function note(kind, text) { notes[++nnotes] = kind "\t" text }

function start_case(line) {
    test = attr(line, "name"); status = attr(line, "status")
    ctest_msg = ""; in_out = 0; in_skip = 0; gcase = ""; open_case = ""; why = ""
    g_ok = 0; g_failed = 0; g_skipped = 0
}

# One line of the test's output: GoogleTest's result lines and the message
# a GTEST_SKIP gave ("file:line: Skipped" then the message, up to the
# "[  SKIPPED ]" line).
function output_line(s) {
    sub(/\r$/, "", s)
    if (s ~ /^\[ RUN      \] /) { gcase = substr(s, 14); open_case = gcase; in_skip = 0; why = ""; return }
    if (s ~ /^\[  SKIPPED \] .* \([0-9]+ ms\)$/) {
        sub(/^\[  SKIPPED \] /, "", s); sub(/ \([0-9]+ ms\)$/, "", s)
        g_skipped++; open_case = ""
        note("skipped", label(test, s) ": " (why == "" ? "(no reason given)" : why))
        in_skip = 0; why = ""; return
    }
    if (s ~ /^\[       OK \] .* \([0-9]+ ms\)$/) { g_ok++; open_case = ""; in_skip = 0; return }
    if (s ~ /^\[  FAILED  \] .* \([0-9]+ ms\)$/) {
        sub(/^\[  FAILED  \] /, "", s); sub(/ \([0-9]+ ms\)$/, "", s)
        g_failed++; open_case = ""
        note("failed", label(test, s))
        in_skip = 0; return
    }
    if (s ~ /: Skipped$/) { in_skip = 1; why = ""; return }
    if (in_skip && s != "") why = (why == "" ? s : why " " s)
}

function end_case(    ran) {
    ran = g_ok + g_failed + g_skipped
    passed += g_ok; failed += g_failed; skipped += g_skipped
    if (status == "run") {
        if (ran == 0) passed++
    } else if (status == "fail") {
        if (open_case != "") {
            failed++
            note("failed", label(test, open_case) ": did not finish (a crash or a timeout)")
        } else if (g_failed == 0) {
            failed++
            note("failed", test ": " (ctest_msg == "" ? "failed" : ctest_msg) \
                 (ran > 0 ? " after its GoogleTest cases (a crash, a timeout or its exit status)" : ""))
        }
    } else if (status == "disabled") {
        skipped++
        note("skipped", test ": disabled")
    } else if (ctest_msg == "SKIP_REGULAR_EXPRESSION_MATCHED") {
        if (g_skipped == 0) { skipped++; note("skipped", test ": (no reason given)") }
    } else {
        # Not run for a reason of ctest's (no executable, a failed
        # dependency, the stop time passed): ctest counts these as failed.
        failed++
        note("failed", test ": not run: " (ctest_msg == "" ? status : ctest_msg))
    }
    test = ""
}

{
    line = $0
    if (in_out) {
        if (index(line, "</system-out>")) {
            output_line(unxml(substr(line, 1, index(line, "</system-out>") - 1)))
            in_out = 0
        } else {
            output_line(unxml(line))
        }
        next
    }
    if (line ~ /<testcase /) { start_case(line); next }
    if (line ~ /<(skipped|failure) /) { ctest_msg = attr(line, "message"); next }
    if (index(line, "<system-out>")) {
        line = substr(line, index(line, "<system-out>") + 12)
        if (index(line, "</system-out>")) {
            output_line(unxml(substr(line, 1, index(line, "</system-out>") - 1)))
        } else {
            output_line(unxml(line))
            in_out = 1
        }
        next
    }
    if (line ~ /<\/testcase>/ && test != "") end_case()
}

END {
    print passed + 0, failed + 0, skipped + 0
    for (i = 1; i <= nnotes; i++) print notes[i]
}
