"""Judges minified CSS with tinycss2, a CSS parser the engine does not share.

Both texts are parsed into component values; comments go and whitespace is normalised where the
CSS grammar gives it no meaning, and the two results must be equal:
- at the ends of a rule's prelude, a declaration, a block's or function's contents (but in
  unknown at-rules and expression(...), whose insides are not CSS's to judge);
- next to "," anywhere; next to ">", "+", "~" at the top of a selector; next to "/" and "!" in a
  declaration's value; next to ":" of a declaration and directly inside "( )" of an at-rule's
  prelude (media features);
- runs of whitespace count as one.
A custom property's value and @charset are compared exactly, comments included. Six-digit colours
#aabbcc in values count as #abc. Empty declarations (";;") count as none.

    /usr/bin/python3 css_richter.py CASES

CASES holds records "<kind> <length before> <length after>\n" followed by the two texts; kind is
"sheet" (a style element's contents) or "decls" (a style attribute's value). Bytes are read as
latin-1: CSS treats every byte from 0x80 up alike. Prints one line per failed case and a closing
count; exits 1 when a case failed, 2 when the input cannot be read.
"""
import sys

import tinycss2

WS = "whitespace"
KNOWN_RULES = {"media", "supports", "document", "-moz-document", "layer", "container", "scope",
               "starting-style", "keyframes", "-webkit-keyframes", "-moz-keyframes",
               "-o-keyframes"}
KNOWN_DECLS = {"font-face", "page", "counter-style", "property", "viewport", "-ms-viewport",
               "font-palette-values"}
KNOWN_PLAIN = {"import", "namespace"}


def is_lit(n, chars):
    return n.type == "literal" and n.value in chars


def short_hash(v):
    hexd = "0123456789abcdefABCDEF"
    if len(v) == 6 and all(c in hexd for c in v) and v[0] == v[1] and v[2] == v[3] and v[4] == v[5]:
        return v[0] + v[2] + v[4]
    return v


def norm(nodes, ctx, top=True, in_paren=False, strip=True):
    """The list without comments, whitespace collapsed and dropped where ctx says it is void."""
    out = []
    for n in nodes:
        if n.type == "comment":
            continue
        if n.type == WS:
            if not out or out[-1] != (WS,):
                out.append((WS,))
            continue
        out.append(node(n, ctx, top, in_paren))
    seps = {","}
    if ctx == "selector" and top:
        seps |= {">", "+", "~"}
    if ctx == "value":
        seps |= {"/", "!"}
    if ctx == "prelude" and in_paren:
        seps |= {":"}
    if ctx == "unknown":
        seps = set()

    def sep(m):
        return m is not None and m[0] == "literal" and m[1] in seps

    res = []
    for i, n in enumerate(out):
        if n == (WS,) and (sep(out[i - 1] if i > 0 else None) or
                           sep(out[i + 1] if i + 1 < len(out) else None)):
            continue
        res.append(n)
    if strip:
        while res and res[0] == (WS,):
            res.pop(0)
        while res and res[-1] == (WS,):
            res.pop()
    return tuple(res)


def node(n, ctx, top, in_paren):
    t = n.type
    if t == "function":
        if ctx == "unknown" or n.lower_name == "expression":
            return ("function", n.name, norm(n.arguments, "unknown", strip=False))
        return ("function", n.name, norm(n.arguments, ctx, False, False))
    if t in ("() block", "[] block", "{} block"):
        if ctx == "unknown":
            return (t, norm(n.content, "unknown", strip=False))
        return (t, norm(n.content, ctx, False, t == "() block"))
    if t == "hash" and ctx == "value":
        return ("hash", short_hash(n.value))
    if t == "literal":
        return ("literal", n.value)
    if t == "error":
        return ("error", n.kind)
    return (t, n.serialize())


def split_items(nodes):
    """A declaration list's items: at-rules, nested rules and declarations, without empty ones."""
    items, cur = [], []
    i = 0
    while i < len(nodes):
        n = nodes[i]
        cur.append(n)
        sig = [m for m in cur if m.type not in (WS, "comment")]
        custom = (len(sig) >= 1 and sig[0].type == "ident" and sig[0].value.startswith("--")
                  and len(sig) >= 2 and is_lit(sig[1], ":"))
        if is_lit(n, ";"):
            cur.pop()
            items.append(cur)
            cur = []
        elif n.type == "{} block" and not custom:
            items.append(cur)
            cur = []
        i += 1
    items.append(cur)
    return [it for it in items if any(m.type not in (WS, "comment") for m in it)]


def decl_list(nodes):
    out = []
    for it in split_items(nodes):
        sig = [i for i, m in enumerate(it) if m.type not in (WS, "comment")]
        first = it[sig[0]]
        if first.type == "at-keyword":
            out.append(at_rule(first.lower_value, it[sig[0] + 1:], True))
        elif it[sig[-1]].type == "{} block" and not (
                first.type == "ident" and first.value.startswith("--")):
            out.append(("rule", norm(it[:sig[-1]], "selector"), decl_list(it[sig[-1]].content)))
        elif first.type == "ident" and len(sig) > 1 and is_lit(it[sig[1]], ":"):
            value = it[sig[1] + 1:]
            if first.value.startswith("--"):
                out.append(("custom", first.value, tinycss2.serialize(value)))
            elif first.lower_value in ("filter", "-ms-filter"):
                out.append(("decl", first.value, norm(value, "unknown")))
            else:
                out.append(("decl", first.value, norm(value, "value")))
        else:
            out.append(("unknown", norm(it, "unknown")))
    return tuple(out)


def at_rule(name, rest, nested):
    """An at-rule from the component values behind its at-keyword (its block included)."""
    body = None
    if rest and rest[-1].type == "{} block":
        body = rest[-1]
        rest = rest[:-1]
    if name == "charset":
        return ("charset", tinycss2.serialize(rest))
    known = name in KNOWN_RULES or name in KNOWN_DECLS or name in KNOWN_PLAIN
    if known:
        # The whitespace behind the at-keyword stays (as one space); the trailing goes.
        prelude = norm(rest, "prelude", strip=False)
        while prelude and prelude[-1] == (WS,):
            prelude = prelude[:-1]
    else:
        prelude = norm(rest, "unknown", strip=False)
    if body is None:
        return ("at", name, prelude)
    if name in KNOWN_RULES and not nested:
        content = rule_list(body.content)
    elif name in KNOWN_RULES or name in KNOWN_DECLS:
        content = decl_list(body.content)
    else:
        content = norm(body.content, "unknown", strip=False)
    return ("at", name, prelude, content)


def rule_list(nodes, top=False):
    if top:
        rules = tinycss2.parse_stylesheet(nodes, skip_comments=False, skip_whitespace=True)
    else:
        rules = tinycss2.parse_rule_list(nodes, skip_comments=False, skip_whitespace=True)
    out = []
    for r in rules:
        if r.type == "comment":
            continue
        if r.type == "qualified-rule":
            out.append(("rule", norm(r.prelude, "selector"), decl_list(r.content)))
        elif r.type == "at-rule":
            rest = list(r.prelude) + ([FakeBlock(r.content)] if r.content is not None else [])
            out.append(at_rule(r.lower_at_keyword, rest, False))
        else:
            out.append(("error", r.kind))
    return tuple(out)


class FakeBlock:
    type = "{} block"

    def __init__(self, content):
        self.content = content


def sheet(text):
    return rule_list(tinycss2.parse_component_value_list(text), top=True)


def decls(text):
    return decl_list(tinycss2.parse_component_value_list(text))


def main():
    data = open(sys.argv[1], "rb").read()
    pos = count = failed = 0
    while pos < len(data):
        nl = data.find(b"\n", pos)
        head = data[pos:nl].decode("latin-1").split(" ")
        if nl < 0 or len(head) != 3 or head[0] not in ("sheet", "decls"):
            print(f"cannot read case {count} at byte {pos}")
            sys.exit(2)
        n1, n2 = int(head[1]), int(head[2])
        before = data[nl + 1:nl + 1 + n1].decode("latin-1")
        after = data[nl + 1 + n1:nl + 1 + n1 + n2].decode("latin-1")
        pos = nl + 1 + n1 + n2
        f = sheet if head[0] == "sheet" else decls
        a, b = f(before), f(after)
        if a != b:
            failed += 1
            print(f"FAIL case {count}:\n  before {a}\n  after  {b}")
        count += 1
    print(f"{count - failed} passed, {failed} failed")
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()
