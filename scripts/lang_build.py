#!/usr/bin/env python3
"""Builds the sources of one language module of ZeltoPrg.

A language module carries every window description and the whole string
table in one language. The window layouts exist once, in English
(resources/forms/<TClass>.frm); a language only lists its texts in
resources/lang/<lang>/<TClass>.txt, one line per text:

    // comment
    MainForm.Caption = 'Programmateur ZELTO'
    SBar.Panels[0].Text = 'Aucun périphérique.'
    RadioGroup1.Items.Strings[1] = 'Deuxième'
    BtOK.Hint = 'Ligne un' + #13#10 +
                'ligne deux'

The files are UTF-8; '' is a quote inside a text and #n adds the character
with Unicode code point n. The merged description keeps the master's bytes
except the replaced literals, which are written in the language's ANSI code
page with every non-ASCII character as a #n code, the way descriptions store
them. The string table of a language (resources/Strings.<lang>.rc and
resources/ToolkitStrings.<lang>.rc, UTF-8) is merged with the English one
by identifier.

A text without translation keeps its English value, and a translation whose
placeholders (%s, %d) differ from the English ones is not used, since Format
would read the wrong arguments; both are listed as build warnings, so a new
window or a new string never breaks the build.

Usage:
  lang_build.py module --lang fra --codepage 1252 --out DIR
      --forms F1.frm F2.frm ... --texts-dir resources/lang/fra
      --english-strings Strings.enu.rc ToolkitStrings.rcinc
      --strings Strings.fra.rc ToolkitStrings.fra.rc
Writes DIR/forms/<TClass>.frm and DIR/Module.rc (string table and RCDATA).
"""

import argparse
import os
import re
import sys

# Properties whose string values are user-visible texts (last name segment).
TEXT_PROPERTIES = {"caption", "hint", "text", "title", "filter", "strings", "items", "lines", "displaylabel"}


# The string that names a module's code page (toolkit/ToolkitStrings.h).
CODE_PAGE_STRING = "SCodePage"


class LangError(Exception):
    """A source that cannot be merged (bad syntax, text outside the code page)."""


# --- window descriptions --------------------------------------------------------------------------

class Tok:
    def __init__(self, kind, text, start, end, line, value=None):
        self.kind = kind      # 'ident', 'number', 'string', 'symbol', 'binary', 'end'
        self.text = text
        self.start = start
        self.end = end
        self.line = line
        self.value = value    # decoded bytes of a string


def _tokenize(src):
    """Tokens of a description, mirroring the toolkit's reader."""
    toks = []
    i, n, line = 0, len(src), 1
    while True:
        while i < n:
            if src[i] == "\n":
                line += 1
                i += 1
            elif src[i].isspace():
                i += 1
            elif src.startswith("//", i):
                while i < n and src[i] != "\n":
                    i += 1
            else:
                break
        if i >= n:
            toks.append(Tok("end", "", n, n, line))
            return toks
        c = src[i]
        start = i
        if c.isalpha() or c == "_":
            while i < n and (src[i].isalnum() or src[i] in "_."):
                i += 1
            toks.append(Tok("ident", src[start:i], start, i, line))
        elif c.isdigit() or c == "$" or (c == "-" and i + 1 < n and (src[i + 1].isdigit() or src[i + 1] == "$")):
            i += 1
            while i < n and (src[i].isalnum() or src[i] == "."):
                i += 1
            toks.append(Tok("number", src[start:i], start, i, line))
        elif c in "'#":
            value = bytearray()
            while i < n and src[i] in "'#":
                if src[i] == "'":
                    i += 1
                    while True:
                        if i >= n or src[i] == "\n":
                            raise LangError("line %d: unterminated string" % line)
                        if src[i] == "'":
                            if i + 1 < n and src[i + 1] == "'":
                                value += b"'"
                                i += 2
                                continue
                            i += 1
                            break
                        value += src[i].encode("latin-1", errors="strict") if ord(src[i]) < 256 else b"?"
                        i += 1
                else:
                    i += 1
                    m = re.match(r"\$[0-9A-Fa-f]+|[0-9]+", src[i:])
                    if not m:
                        raise LangError("line %d: # without a character code" % line)
                    code = int(m.group(0)[1:], 16) if m.group(0).startswith("$") else int(m.group(0))
                    if code > 255:
                        raise LangError("line %d: character code out of range 0..255" % line)
                    value.append(code)
                    i += len(m.group(0))
            toks.append(Tok("string", src[start:i], start, i, line, bytes(value)))
        elif c == "{":
            close = src.find("}", i)
            if close < 0:
                raise LangError("line %d: binary data without closing }" % line)
            line += src.count("\n", i, close)
            i = close + 1
            toks.append(Tok("binary", src[start:i], start, i, line))
        else:
            i += 1
            toks.append(Tok("symbol", c, start, i, line))


class TextSlot:
    """One translatable string literal of a description: key, source span, English bytes."""

    def __init__(self, key, start, end, value, line):
        self.key = key
        self.start = start
        self.end = end
        self.value = value
        self.line = line


class _DescriptionScanner:
    """Finds every string literal of a text property, keyed Component.Property[index].Sub."""

    def __init__(self, src):
        self.toks = _tokenize(src)
        self.pos = 0
        self.slots = []
        self.root_name = ""
        self.root_class = ""

    def peek(self):
        return self.toks[self.pos]

    def next(self):
        t = self.toks[self.pos]
        if t.kind != "end":
            self.pos += 1
        return t

    def fail(self, message, tok):
        raise LangError("line %d: %s" % (tok.line, message))

    def is_word(self, t, word):
        return t.kind == "ident" and t.text.lower() == word

    def is_symbol(self, t, c):
        return t.kind == "symbol" and t.text == c

    def scan(self):
        self.parse_object(root=True)
        if self.peek().kind != "end":
            self.fail("text after the final end", self.peek())
        return self.slots

    def parse_object(self, root=False):
        head = self.next()
        if not (self.is_word(head, "object") or self.is_word(head, "inherited")):
            self.fail("expected 'object' or 'inherited'", head)
        first = self.next()
        if first.kind != "ident":
            self.fail("expected a name or class", first)
        name, cls = "", first.text
        if self.is_symbol(self.peek(), ":"):
            self.next()
            c = self.next()
            if c.kind != "ident":
                self.fail("expected a class name", c)
            name, cls = first.text, c.text
        if root:
            self.root_name, self.root_class = name, cls
        while True:
            t = self.peek()
            if t.kind == "end":
                self.fail("missing 'end' of object " + name, head)
            if self.is_word(t, "end"):
                self.next()
                return
            if self.is_word(t, "object") or self.is_word(t, "inherited"):
                self.parse_object()
                continue
            self.parse_assignment(name or cls)

    def parse_assignment(self, owner_key):
        name = self.next()
        if name.kind != "ident":
            self.fail("expected a property name", name)
        eq = self.next()
        if not self.is_symbol(eq, "="):
            self.fail("expected '='", eq)
        self.parse_value(owner_key + "." + name.text, name.text.split(".")[-1].lower() in TEXT_PROPERTIES)

    def parse_value(self, key, is_text):
        t = self.next()
        if t.kind == "string":
            start, end, value = t.start, t.end, t.value
            while self.is_symbol(self.peek(), "+"):
                self.next()
                more = self.next()
                if more.kind != "string":
                    self.fail("expected a string after '+'", more)
                end = more.end
                value += more.value
            if is_text:
                self.slots.append(TextSlot(key, start, end, value, t.line))
            return
        if t.kind in ("number", "ident", "binary"):
            return
        if self.is_symbol(t, "["):
            while not self.is_symbol(self.next(), "]"):
                if self.peek().kind == "end":
                    self.fail("set without closing ]", t)
            return
        if self.is_symbol(t, "("):
            index = 0
            while not self.is_symbol(self.peek(), ")"):
                if self.peek().kind == "end":
                    self.fail("list without closing )", t)
                self.parse_value("%s[%d]" % (key, index), is_text)
                index += 1
            self.next()
            return
        if self.is_symbol(t, "<"):
            index = 0
            while True:
                e = self.next()
                if self.is_symbol(e, ">"):
                    return
                if not self.is_word(e, "item"):
                    self.fail("expected 'item' or '>'", e)
                while not self.is_word(self.peek(), "end"):
                    if self.peek().kind == "end":
                        self.fail("item without 'end'", e)
                    self.parse_assignment("%s[%d]" % (key, index))
                self.next()
                index += 1
        self.fail("unexpected '%s'" % t.text, t)


def scan_description(src):
    """(root name, root class, text slots) of a description's source text."""
    scanner = _DescriptionScanner(src)
    slots = scanner.scan()
    return scanner.root_name, scanner.root_class, slots


def _parse_text_value(text, where):
    """The Unicode string of a translation value: 'quoted' and #n parts, joined by +."""
    out = []
    i, n = 0, len(text)
    expect_part = True
    while True:
        while i < n and text[i] in " \t\r\n":
            i += 1
        if i >= n:
            break
        if text.startswith("//", i):
            break
        c = text[i]
        if c == "+" and not expect_part:
            expect_part = True
            i += 1
            continue
        if c not in "'#":
            raise LangError("%s: expected a quoted text or #code, found %r" % (where, text[i:i + 10]))
        while i < n and text[i] in "'#":
            if text[i] == "'":
                i += 1
                while True:
                    if i >= n or text[i] == "\n":
                        raise LangError("%s: unterminated text" % where)
                    if text[i] == "'":
                        if i + 1 < n and text[i + 1] == "'":
                            out.append("'")
                            i += 2
                            continue
                        i += 1
                        break
                    out.append(text[i])
                    i += 1
            else:
                m = re.match(r"#(\$[0-9A-Fa-f]+|[0-9]+)", text[i:])
                if not m:
                    raise LangError("%s: # without a character code" % where)
                code = m.group(1)
                out.append(chr(int(code[1:], 16) if code.startswith("$") else int(code)))
                i += len(m.group(0))
        expect_part = False
    if expect_part:
        raise LangError("%s: missing text" % where)
    return "".join(out)


def parse_texts(content, source="texts"):
    """{key: Unicode text} of a per-language text file, in file order."""
    texts = {}
    lines = content.splitlines()
    i = 0
    key_re = re.compile(r"^\s*([A-Za-z_][\w.]*(?:\[\d+\](?:\.[A-Za-z_][\w.]*)?)*)\s*=\s*(.*)$")
    while i < len(lines):
        raw = lines[i]
        lineno = i + 1
        i += 1
        stripped = raw.strip()
        if not stripped or stripped.startswith("//"):
            continue
        m = key_re.match(raw)
        if not m:
            raise LangError("%s:%d: expected Component.Property = 'text'" % (source, lineno))
        value = m.group(2)
        # A value ending in + goes on on the next line.
        while value.rstrip().endswith("+") and i < len(lines):
            value = value + "\n" + lines[i]
            i += 1
        key = m.group(1)
        if key in texts:
            raise LangError("%s:%d: %s is given twice" % (source, lineno, key))
        texts[key] = _parse_text_value(value, "%s:%d" % (source, lineno))
    return texts


def description_literal(data):
    """Description syntax for bytes: printable ASCII quoted, everything else as #n."""
    if not data:
        return "''"
    parts = []
    run = []
    for b in data:
        if 0x20 <= b < 0x7F:
            run.append("''" if b == 0x27 else chr(b))
        else:
            if run:
                parts.append("'" + "".join(run) + "'")
                run = []
            parts.append("#%d" % b)
    if run:
        parts.append("'" + "".join(run) + "'")
    return "".join(parts)


def encode_for_codepage(text, codepage, where):
    try:
        return text.encode("cp%d" % codepage)
    except UnicodeEncodeError as e:
        bad = text[e.start:e.end]
        raise LangError("%s: %r (U+%04X) cannot be written in code page %d" % (where, bad, ord(bad[0]), codepage))


def merge_description(src, texts, codepage, source="description"):
    """Merged description text plus (untranslated slots, unknown keys)."""
    _, _, slots = scan_description(src)
    by_key = {s.key.lower(): s for s in slots}
    replacements = []
    used = set()
    for key, text in texts.items():
        slot = by_key.get(key.lower())
        if slot is None:
            continue
        used.add(key.lower())
        data = encode_for_codepage(text, codepage, "%s: %s" % (source, key))
        replacements.append((slot.start, slot.end, description_literal(data)))
    unknown = [k for k in texts if k.lower() not in by_key]
    untranslated = [s for s in slots if s.key.lower() not in used and needs_translation(s.value)]
    out = src
    for start, end, literal in sorted(replacements, reverse=True):
        out = out[:start] + literal + out[end:]
    return out, untranslated, unknown


def needs_translation(value):
    """Empty texts and texts without a letter besides placeholders ("0", "$%s") stay as they are."""
    text = value.decode("latin-1") if isinstance(value, bytes) else value
    return any(c.isalpha() for c in _PLACEHOLDER.sub("", text))


# --- string tables -------------------------------------------------------------------------------

class StringEntry:
    def __init__(self, name, literal, line):
        self.name = name
        self.literal = literal   # the source text of the string literal, as written
        self.line = line


_RC_TOKEN = re.compile(r'\s+|//[^\n]*|/\*.*?\*/|L?"(?:[^"\n]|"")*"|[A-Za-z_]\w*|\d+|,|.', re.S)


def parse_string_table(content, source="strings"):
    """Entries of every STRINGTABLE of an .rc file (or .rcinc), and its LANGUAGE line."""
    entries = []
    language = None
    lang_m = re.search(r"^\s*LANGUAGE\s+([^\n]+?)\s*$", content, re.M)
    if lang_m:
        language = lang_m.group(1)
    pos = 0
    while True:
        m = re.search(r"\bSTRINGTABLE\b", content[pos:])
        if not m:
            break
        pos += m.end()
        begin = re.search(r"\b(BEGIN)\b|\{", content[pos:])
        if not begin:
            raise LangError("%s: STRINGTABLE without BEGIN" % source)
        pos += begin.end()
        name = None
        while True:
            tm = _RC_TOKEN.match(content, pos)
            if not tm:
                raise LangError("%s: STRINGTABLE without END" % source)
            tok = tm.group(0)
            line = content.count("\n", 0, pos) + 1
            pos = tm.end()
            if tok.isspace() or tok.startswith("//") or tok.startswith("/*") or tok == ",":
                continue
            if tok in ("END", "}"):
                if name is not None:
                    raise LangError("%s:%d: %s has no text" % (source, line, name))
                break
            if tok.startswith('"') or tok.startswith('L"'):
                if name is None:
                    raise LangError("%s:%d: text without identifier" % (source, line))
                entries.append(StringEntry(name, tok, line))
                name = None
            elif re.match(r"[A-Za-z_]\w*$|\d+$", tok):
                if name is not None:
                    raise LangError("%s:%d: %s has no text" % (source, line, name))
                name = tok
            else:
                raise LangError("%s:%d: unexpected %r in STRINGTABLE" % (source, line, tok))
    return entries, language


_ESCAPES = {"n": "\n", "r": "\r", "t": "\t", "a": "\a", "\\": "\\", '"': '"', "'": "'", "0": "\0"}


def decode_rc_literal(literal):
    """The text a narrow or wide .rc string literal of a UTF-8 source stands for."""
    body = literal[2:-1] if literal.startswith("L") else literal[1:-1]
    out = []
    i = 0
    while i < len(body):
        c = body[i]
        if c == '"' and i + 1 < len(body) and body[i + 1] == '"':
            out.append('"')
            i += 2
        elif c == "\\" and i + 1 < len(body):
            e = body[i + 1]
            if e == "x":
                m = re.match(r"[0-9A-Fa-f]{1,4}", body[i + 2:])
                if not m:
                    out.append("x")
                    i += 2
                    continue
                out.append(chr(int(m.group(0), 16)))
                i += 2 + len(m.group(0))
            elif e in "01234567":
                m = re.match(r"[0-7]{1,3}", body[i + 1:])
                out.append(chr(int(m.group(0), 8)))
                i += 1 + len(m.group(0))
            else:
                out.append(_ESCAPES.get(e, e))
                i += 2
        else:
            out.append(c)
            i += 1
    return "".join(out)


_PLACEHOLDER = re.compile(r"%%|%-?\d*(?:\.\d+)?[a-zA-Z]")


def placeholders(text):
    return [p.lower() for p in _PLACEHOLDER.findall(text) if p != "%%"]


class StringMerge:
    def __init__(self):
        self.entries = []        # (name, literal) in English order
        self.untranslated = []   # names kept in English
        self.mismatched = []     # names whose translation has other placeholders
        self.unknown = []        # translated names the English table lacks
        self.language = None


def merge_string_tables(english, translated, codepage, source="strings"):
    """English entries (lists of StringEntry) overlaid with the translated ones."""
    result = StringMerge()
    by_name = {}
    for e in translated:
        if e.name in by_name:
            raise LangError("%s:%d: %s is given twice" % (source, e.line, e.name))
        by_name[e.name] = e
    english_names = set()
    for e in english:
        english_names.add(e.name)
        t = by_name.get(e.name)
        if t is None:
            result.entries.append((e.name, e.literal))
            if needs_translation(decode_rc_literal(e.literal)):
                result.untranslated.append(e.name)
            continue
        text = decode_rc_literal(t.literal)
        encode_for_codepage(text, codepage, "%s:%d: %s" % (source, t.line, t.name))
        if placeholders(text) != placeholders(decode_rc_literal(e.literal)):
            result.entries.append((e.name, e.literal))
            result.mismatched.append(e.name)
            continue
        result.entries.append((e.name, t.literal))
    result.unknown = [e.name for e in translated if e.name not in english_names]
    return result


def render_string_rc(merge, language, includes):
    lines = ["// Generated by scripts/lang_build.py: English table overlaid with the translation.",
             "#pragma code_page(65001)"]
    lines += ['#include "%s"' % inc for inc in includes]
    if language:
        lines.append("LANGUAGE " + language)
    lines += ["", "STRINGTABLE", "BEGIN"]
    width = max([len(n) for n, _ in merge.entries] + [0]) + 1
    for name, literal in merge.entries:
        lines.append("    %s %s" % ((name + ",").ljust(width), literal))
    lines += ["END", ""]
    return "\n".join(lines)


# --- one module ----------------------------------------------------------------------------------

def _read(path):
    with open(path, encoding="utf-8") as f:
        return f.read()


def _write(path, text, encoding="utf-8"):
    os.makedirs(os.path.dirname(path) or ".", exist_ok=True)
    with open(path, "w", encoding=encoding, newline="\n") as f:
        f.write(text)


def _rc_path(path):
    return path.replace("\\", "/")


def build_module(args, warn):
    """Writes the merged descriptions and one Module.rc holding the string table and the descriptions."""
    out_forms = os.path.join(args.out, "forms")
    rcdata = []
    report = []
    for form in sorted(args.forms):
        cls = os.path.splitext(os.path.basename(form))[0]
        # Descriptions are ASCII or bytes of the ANSI code page; latin-1 keeps each byte as it is.
        with open(form, encoding="latin-1") as f:
            src = f.read()
        texts_path = os.path.join(args.texts_dir, cls + ".txt") if args.texts_dir else ""
        texts = parse_texts(_read(texts_path), texts_path) if texts_path and os.path.exists(texts_path) else {}
        merged, untranslated, unknown = merge_description(src, texts, args.codepage, form)
        target = os.path.join(out_forms, cls + ".frm")
        _write(target, merged, encoding="latin-1")
        rcdata.append('%s RCDATA "%s"' % (cls.upper(), _rc_path(os.path.abspath(target))))
        for s in untranslated:
            report.append("%s: %s = %s" % (cls, s.key, description_literal(s.value)))
        for k in unknown:
            warn("%s: %s names no text of %s.frm; ignored" % (texts_path, k, cls))

    english, translated = [], []
    for path in args.english_strings:
        english += parse_string_table(_read(path), path)[0]
    for path in args.strings:
        if os.path.exists(path):
            translated += parse_string_table(_read(path), path)[0]
    merge = merge_string_tables(english, translated, args.codepage, "strings of " + args.lang)
    # The module names the code page of its own texts, so that the program shows
    # them right whatever the system's ANSI code page is.
    merge.entries = [(n, '"%d"' % args.codepage if n == CODE_PAGE_STRING else lit) for n, lit in merge.entries]
    rc = render_string_rc(merge, args.language, args.include)
    rc += "\n// Window descriptions, named after their classes.\n" + "".join(line + "\n" for line in rcdata)
    _write(os.path.join(args.out, "Module.rc"), rc)

    if args.master:
        return 0
    for name in merge.untranslated:
        report.append("strings: %s" % name)
    for name in merge.mismatched:
        warn("%s: the translation of %s has other placeholders than the English text; English kept"
             % (args.lang, name))
    for name in merge.unknown:
        warn("%s: %s is not in the English string table; ignored" % (args.lang, name))
    if report:
        warn("%s: %d text(s) without translation, kept in English:\n  %s"
             % (args.module or args.lang, len(report), "\n  ".join(report)))
    return 0


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    sub = parser.add_subparsers(dest="command", required=True)
    m = sub.add_parser("module", help="sources of one language module")
    m.add_argument("--lang", required=True)
    m.add_argument("--module", help="module file name, for messages")
    m.add_argument("--codepage", type=int, required=True)
    m.add_argument("--language", help="LANGUAGE statement arguments, e.g. 0x0C,0x01")
    m.add_argument("--out", required=True)
    m.add_argument("--forms", nargs="*", default=[])
    m.add_argument("--texts-dir", help="folder of the <TClass>.txt texts")
    m.add_argument("--master", action="store_true", help="the English module: nothing to translate")
    m.add_argument("--english-strings", nargs="+", required=True)
    m.add_argument("--strings", nargs="*", default=[])
    m.add_argument("--include", nargs="*", default=[], help="headers the string table needs")
    args = parser.parse_args(argv)

    def warn(message):
        print("lang_build: warning: " + message, file=sys.stderr)

    try:
        return build_module(args, warn)
    except (LangError, OSError, UnicodeDecodeError) as e:
        print("lang_build: error: %s" % e, file=sys.stderr)
        return 1


if __name__ == "__main__":
    sys.exit(main())
