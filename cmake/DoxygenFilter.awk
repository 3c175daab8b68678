# Doxygen input filter: our headers comment every public declaration with plain `//` lines, which Doxygen
# would skip. This makes them Doxygen's own: the file's opening comment block documents the file, a
# comment line before a declaration documents it, and a comment after a declaration on its line
# documents that declaration (`///<`). Line numbers are kept, so warnings point at the real lines.
BEGIN { banner = 1 }
{
    line = $0
    base = FILENAME
    sub(/.*\//, "", base)
    if (banner) {
        if (line ~ /^\/\/ ?/) {
            sub(/^\/\/ ?/, "", line)
            if (NR == 1) print "/// \\file " base " " line
            else print "/// " line
            next
        }
        if (line ~ /^\/\* /) {
            sub(/^\/\* /, "/** \\file " base " ", line)
            print line
            if (line ~ /\*\//) banner = 0
            next
        }
        banner = 0
    }
    if (line ~ /^[ \t]*\/\/[^\/!]/ || line ~ /^[ \t]*\/\/$/) {
        sub(/\/\//, "///", line)
    } else if (line ~ /^[ \t]*\/\*[^*]/) {
        sub(/\/\*/, "/**", line)
    } else if (line ~ /^[ \t]*[^ \t\/#].*[;,{)][ \t]*\/\/ / && line !~ /"[^"]*\/\/[^"]*"/) {
        sub(/[ \t]*\/\/ /, " ///< ", line)
    }
    print line
}
