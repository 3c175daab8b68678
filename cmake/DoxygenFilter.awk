# Doxygen input filter: our headers comment every public declaration with plain `//` lines, which Doxygen
# would skip. This hands them to Doxygen, keeping every line where it is (warnings point at real lines):
#   - the file's opening comment block documents the file;
#   - a comment block documents the declaration after it, and also those that follow it without a blank
#     line between, each of the same family as the one before it (SetColor/GetColor, Reserved1/Reserved2,
#     PeekInt/PeekFloat, overloads): each of those gets the block's text as a trailing `///<` comment;
#   - a comment after a declaration on its own line documents that declaration.
function trim(s) { sub(/^[ \t]+/, "", s); sub(/[ \t]+$/, "", s); return s }
function opens(s,   o, c, t) {
    t = s; o = gsub(/\{/, "{", t); c = gsub(/\}/, "}", t); return o > c
}
function declname(s,   t) {
    if (s ~ /operator[^A-Za-z_]/) return "operator"
    t = s; sub(/\/\/.*/, "", t); sub(/\(.*/, "", t); sub(/[ \t]*[=;{].*/, "", t); sub(/.*[ \t*&:~]/, "", t); return t
}
# The family of a declared name: what is left without a type or dimension word at its end and with the
# opposite verb of a pair made the same (Set/Get, Poke/Peek, Write/Read, Hide/Show), so that SetColor and
# GetColor, PeekInt and PokeFloat, GraphicsWidth and GraphicsHeight are one family.
function family(n,   f) {
    if (n ~ /^operator/) return "operator"
    if (n == "Width" || n == "Height") return "Size"
    f = n
    sub(/[0-9]+$/, "", f)
    sub(/Arg$/, "", f)
    sub(/(Byte|Bytes|Short|Int|Long|Float|Double|String|Number|Boolean|Width|Height|Char|Line)$/, "", f)
    sub(/^Poke/, "Peek", f); sub(/^Write/, "Read", f); sub(/^Hide/, "Show", f)
    sub(/^(Set|Get|Is|Has)/, "", f)
    return f == "" ? n : f
}
# The name of the slot an inline free function at line i forwards to ("return x->Name(" or "x->Name("
# as its whole body), or "".
function forwards(i,   j, body) {
    if (L[i] !~ /^inline /) return ""
    for (j = i + 1; j <= i + 3 && L[j] != "{"; ++j)
        if (L[j] ~ /[;{}]/) return ""
    if (L[j] != "{" || L[j + 2] != "}") return ""
    body = L[j + 1]
    if (body ~ /&[A-Za-z_]+::[A-Za-z_]+\);$/) {
        sub(/\);$/, "", body); sub(/.*::/, "", body)
        return body
    }
    if (body !~ /^    (return )?[A-Za-z_]+->[A-Za-z_]+\(.*\);$/) return ""
    sub(/^    (return )?[A-Za-z_]+->/, "", body); sub(/\(.*/, "", body)
    return body
}
BEGIN { banner = 1; inrun = 0; ended = 0; doc = ""; lastcomment = 0; section = 0 }
{ L[NR] = $0; if (NR == 1) { base = FILENAME; sub(/.*\//, "", base) } }
END { for (n = 1; n <= NR; ++n) filter(n) }
function filter(n,   line, text, code, trailing, slot) {
    line = L[n]
    if (banner) {
        if (line ~ /^\/\/ ?/) {
            sub(/^\/\/ ?/, "", line)
            if (n == 1) print "/// \\file " base " " line
            else print "/// " line
            return
        }
        if (line ~ /^\/\* /) {
            sub(/^\/\* /, "/** \\file " base " ", line)
            print line
            if (line ~ /\*\//) banner = 0
            return
        }
        banner = 0
    }
    if (line ~ /^[ \t]*\/\/([^\/!].*)?$/) {
        text = line
        sub(/^[ \t]*\/\/ ?/, "", text)
        if (!lastcomment) { doc = ""; ended = 0; prevfam = ""; curfam = ""; section = 0 }
        if (tolower(text) ~ /free functions/) section = 1
        doc = doc (doc == "" ? "" : " ") trim(text)
        inrun = 1
        lastcomment = 1
        sub(/\/\//, "///", line)
        print line
        return
    }
    lastcomment = 0
    if (line ~ /^[ \t]*\/\*[^*]/) {
        sub(/\/\*/, "/**", line)
        inrun = 0
        print line
        return
    }
    code = trim(line)
    if (code == "") section = 0
    if (code == "" || code ~ /^#/ || code ~ /^(public|protected|private):/ || code ~ /^\}/) {
        inrun = 0
        print line
        return
    }
    if (!lastcomment && line ~ /^inline constexpr const char\* classDebugName<[A-Za-z_]+> = "/) {
        print "/** The class's name for debugging. */ " line
        return
    }
    slot = forwards(n)
    if (!lastcomment && slot != "" && slot == declname(line)) {
        print "/** The free form of the slot `" slot "`: calls it on the first argument; throws `TNullObjectError` for `Null`. */ " line
        return
    }
    if (section && !lastcomment && line ~ /^[A-Za-z]/ && line ~ /\(/ && (inrun || line ~ /;$/) && ended >= 1 && doc != "") {
        print line " ///< " doc
        ended++
        return
    }
    trailing = 0
    if (line ~ /^[ \t]*[^ \t\/#].*[;,{)][ \t]*\/\/ / && line !~ /"[^"]*\/\/[^"]*"/) {
        sub(/[ \t]*\/\/ /, " ///< ", line)
        trailing = 1
    }
    if (inrun) {
        if (curfam == "") curfam = family(declname(line))
        if (opens(line)) {
            inrun = 0
        } else if (code ~ /([;,]|\})[ \t]*(\/\/.*)?$/) {
            ended++
            if (ended >= 2 && !trailing && doc != "" && curfam != "" && curfam == prevfam) line = line " ///< " doc
            prevfam = curfam
            curfam = ""
        }
    }
    print line
}
