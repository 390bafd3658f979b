# Compares a platform's --points CSV (the second file) with the native one (the first).
# The lines and abscissae must be identical: otherwise the first difference goes to stderr and
# the exit status is 1. An ordinate may differ in the last bits of the maths library: by at
# most `ulps` units in the last place of f's largest term, e^x/x^3 or the constant 2 (f is
# their difference, so a term's last bit shows up in f unscaled). Prints
# "<points> <ordinates differing in the last bits> <ordinates differing by more> <ordinates
# excused>", and the first ordinate differing by more on stderr. With largeSin=1 (a platform whose
# sin loses its argument reduction past |x| = 2^19), an ordinate at x <= -2^19, where f is
# -sin(x)^3 - 2, is excused when both values lie in f's range there, [-3, -1].
BEGIN { FS = ","; if (ulps == "") ulps = 4 }
FNR == NR { reference[FNR] = $0; count = FNR; next }
{
    lines = FNR
    if (FNR > count) fail("more lines than the native " count)
    if ($0 == reference[FNR]) next
    split(reference[FNR], native, ",")
    if ($1 != native[1]) fail("x differs: native " reference[FNR] ", here " $0)
    if (finite($2) && finite(native[2]) && abs($2 - native[2]) <= tolerance($1)) {
        ++lastBits
    } else if (largeSin && $1 + 0 <= -2 ^ 19 && inSinRange($2) && inSinRange(native[2])) {
        ++excused
    } else if (!wrong++) {
        print FILENAME ":" FNR ": y differs: native " reference[FNR] ", here " $0 > "/dev/stderr"
    }
}
END {
    if (failed) exit 1
    if (lines < count) fail("fewer lines (" lines + 0 ") than the native " count)
    print count - 1, lastBits + 0, wrong + 0, excused + 0
}
function fail(message) { print FILENAME ":" FNR ": " message > "/dev/stderr"; failed = 1; exit 1 }
function abs(v) { return v < 0 ? -v : v }
function finite(text) { return text !~ /^-?(inf|nan)$/ }
function inSinRange(y) { return finite(y) && y + 0 >= -3 && y + 0 <= -1 }
function tolerance(x,    logTerm, scale) {
    x = x + 0
    if (x == 0) return 0
    logTerm = x - 3 * log(abs(x)) # log |e^x / x^3|
    scale = logTerm > 700 ? 1e300 : exp(logTerm)
    if (scale < 2) scale = 2
    return ulps * scale * 2 ^ -52
}
