# Doxygen input filter: our headers comment every public declaration with plain `//` lines, which Doxygen
# would skip. This hands them to Doxygen, keeping every line where it is (warnings point at real lines):
#   - the file's opening comment block documents the file;
#   - a comment block documents the declaration after it, and also the ones of the same family that follow
#     it without a blank line between (SetColor/GetColor, Reserved1/Reserved2, PeekInt/PeekFloat,
#     overloads): each of those gets the block's text as a trailing `///<` comment;
#   - a comment after a declaration on its own line documents that declaration.
function trim(s) { sub(/^[ \t]+/, "", s); sub(/[ \t]+$/, "", s); return s }
function opens(s,   o, c, t) {
    t = s; o = gsub(/\{/, "{", t); c = gsub(/\}/, "}", t); return o > c
}
function declname(s,   t) {
    t = s; sub(/\/\/.*/, "", t); sub(/\(.*/, "", t); sub(/[ \t]*[=;{].*/, "", t); sub(/.*[ \t*&:~]/, "", t); return t
}
function family(n) {
    if (n ~ /^operator/) return "operator"
    sub(/^(Set|Get|Is|Has)/, "", n); sub(/[0-9]+$/, "", n)
    sub(/(Byte|Short|Int|Long|Float|Double|String|Number|Boolean)$/, "", n)
    return n
}
BEGIN { banner = 1; inrun = 0; ended = 0; doc = ""; lastcomment = 0 }
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
    if (line ~ /^[ \t]*\/\/([^\/!].*)?$/) {
        text = line
        sub(/^[ \t]*\/\/ ?/, "", text)
        if (!lastcomment) { doc = ""; ended = 0; first = "" }
        doc = doc (doc == "" ? "" : " ") trim(text)
        inrun = 1
        lastcomment = 1
        sub(/\/\//, "///", line)
        print line
        next
    }
    lastcomment = 0
    if (line ~ /^[ \t]*\/\*[^*]/) {
        sub(/\/\*/, "/**", line)
        inrun = 0
        print line
        next
    }
    code = trim(line)
    if (code == "" || code ~ /^#/ || code ~ /^(public|protected|private):/ || code ~ /^\}/) {
        inrun = 0
        print line
        next
    }
    trailing = 0
    if (line ~ /^[ \t]*[^ \t\/#].*[;,{)][ \t]*\/\/ / && line !~ /"[^"]*\/\/[^"]*"/) {
        sub(/[ \t]*\/\/ /, " ///< ", line)
        trailing = 1
    }
    if (inrun) {
        if (first == "") first = family(declname(line))
        if (opens(line)) {
            inrun = 0
        } else if (code ~ /([;,]|\})[ \t]*(\/\/.*)?$/) {
            ended++
            if (ended >= 2 && !trailing && doc != "" && first != "" && family(declname(line)) == first)
                line = line " ///< " doc
        }
    }
    print line
}
