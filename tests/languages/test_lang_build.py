"""The merge tool behind the language modules: descriptions keep their layout
and get the language's texts in its code page, string tables are overlaid by
identifier, and whatever a language lacks or gets wrong falls back to English
with a warning instead of breaking the build."""

import io
import os
import tempfile
import unittest
from contextlib import redirect_stderr
from types import SimpleNamespace

import lang_build as L

FORM = """object AboutBox: TAboutBox
  Left = 10
  Caption = 'About'
  object BtOK: TButton
    Caption = '&OK'
    Hint = 'Close' +
      ' the box'
    Font.Name = 'MS Sans Serif'
    Glyph.Data = {
      0A0B 'x' }
  end
  object RG: TRadioGroup
    Items.Strings = (
      'One'
      'Two')
  end
  object SBar: TStatusBar
    Panels = <
      item
        Text = 'No Device.'
        Width = 75
      end
      item
        Width = 50
      end>
  end
  object LPT: TMenuItem
    Caption = '278H'
  end
  object Num: TLabel
    Caption = '0'
  end
end
"""


class DescriptionScanTest(unittest.TestCase):
    def test_finds_every_text_with_its_key(self):
        name, cls, slots = L.scan_description(FORM)
        self.assertEqual((name, cls), ("AboutBox", "TAboutBox"))
        texts = {s.key: s.value for s in slots}
        self.assertEqual(texts["AboutBox.Caption"], b"About")
        self.assertEqual(texts["BtOK.Hint"], b"Close the box")
        self.assertEqual(texts["RG.Items.Strings[1]"], b"Two")
        self.assertEqual(texts["SBar.Panels[0].Text"], b"No Device.")
        # Font names and binary data are no texts, and '}' inside binary data is no string.
        self.assertNotIn("BtOK.Font.Name", texts)
        self.assertEqual(len([k for k in texts if "Glyph" in k]), 0)

    def test_reports_the_line_of_a_broken_description(self):
        with self.assertRaisesRegex(L.LangError, "line 3"):
            L.scan_description("object A: TA\n  Caption = 'x'\n  Caption = 'unterminated\nend\n")
        with self.assertRaisesRegex(L.LangError, "missing 'end'"):
            L.scan_description("object A: TA\n  Caption = 'x'\n")


class DescriptionMergeTest(unittest.TestCase):
    def test_replaces_only_the_translated_literals(self):
        texts = L.parse_texts("BtOK.Caption = '&Fermer'\nSBar.Panels[0].Text = 'Aucun composant.'\n"
                              "RG.Items.Strings[0] = 'Un'\n")
        merged, untranslated, unknown = L.merge_description(FORM, texts, 1252)
        self.assertIn("Caption = '&Fermer'", merged)
        self.assertIn("Text = 'Aucun composant.'", merged)
        self.assertIn("'Un'\n      'Two')", merged)
        # Everything else is the master byte for byte.
        self.assertEqual(merged.replace("'&Fermer'", "'&OK'").replace("'Aucun composant.'", "'No Device.'")
                         .replace("'Un'", "'One'"), FORM)
        self.assertEqual(unknown, [])
        self.assertEqual(sorted(s.key for s in untranslated),
                         ["AboutBox.Caption", "BtOK.Hint", "LPT.Caption", "RG.Items.Strings[1]"])

    def test_a_continued_string_is_replaced_whole(self):
        merged, _, _ = L.merge_description(FORM, {"BtOK.Hint": "Fermer"}, 1252)
        self.assertIn("Hint = 'Fermer'\n    Font.Name", merged)
        self.assertEqual(L.scan_description(merged)[2][2].value, b"Fermer")

    def test_accents_become_code_page_character_codes(self):
        merged, _, _ = L.merge_description(FORM, {"AboutBox.Caption": "À propos d'été"}, 1252)
        self.assertIn("Caption = #192' propos d'''#233't'#233", merged)
        slots = {s.key: s.value for s in L.scan_description(merged)[2]}
        self.assertEqual(slots["AboutBox.Caption"], "À propos d'été".encode("cp1252"))

    def test_romanian_letters_take_code_page_1250(self):
        merged, _, _ = L.merge_description(FORM, {"BtOK.Caption": "Închide şi ţine"}, 1250)
        slots = {s.key: s.value for s in L.scan_description(merged)[2]}
        self.assertEqual(slots["BtOK.Caption"], b"\xcenchide \xbai \xfeine")

    def test_a_letter_outside_the_code_page_is_an_error(self):
        # s with comma below has no place in code page 1250: it would show as "?".
        with self.assertRaisesRegex(L.LangError, "U\\+0219.*1250"):
            L.merge_description(FORM, {"BtOK.Caption": "\u0219ase"}, 1250)
        with self.assertRaisesRegex(L.LangError, "1252"):
            L.merge_description(FORM, {"BtOK.Caption": "\u0103"}, 1252)

    def test_keys_match_without_case_and_stale_keys_are_reported(self):
        merged, _, unknown = L.merge_description(FORM, {"btok.caption": "Fermer", "Gone.Caption": "x"}, 1252)
        self.assertIn("Caption = 'Fermer'", merged)
        self.assertEqual(unknown, ["Gone.Caption"])

    def test_texts_without_letters_need_no_translation(self):
        _, untranslated, _ = L.merge_description(FORM, {}, 1252)
        keys = [s.key for s in untranslated]
        self.assertNotIn("Num.Caption", keys)
        self.assertIn("LPT.Caption", keys)


class TextFileTest(unittest.TestCase):
    def test_quotes_codes_continuations_and_comments(self):
        texts = L.parse_texts("// comment\n\nA.Caption = 'l''été'\nB.Hint = 'one' + #13#10 +\n"
                              "   'two'  // trailing\nC.Items.Strings[2] = #$41'B'\n")
        self.assertEqual(texts, {"A.Caption": "l'été", "B.Hint": "one\r\ntwo", "C.Items.Strings[2]": "AB"})

    def test_mistakes_name_file_and_line(self):
        with self.assertRaisesRegex(L.LangError, "f.txt:2"):
            L.parse_texts("A.Caption = 'x'\nB.Caption = 'open\n", "f.txt")
        with self.assertRaisesRegex(L.LangError, "f.txt:1"):
            L.parse_texts("A.Caption 'x'\n", "f.txt")
        with self.assertRaisesRegex(L.LangError, "given twice"):
            L.parse_texts("A.Caption = 'x'\nA.Caption = 'y'\n", "f.txt")


ENGLISH_RC = r'''#include "StringIds.h"
LANGUAGE 0x09, 0x01
STRINGTABLE
BEGIN
    // group
    S_ONE,   "One %s of %d"
    S_TWO,   "Line\r\nbreak ""quoted"""
    S_THREE, "Three"
    S_NUM,   "$%s"
END
'''

TOOLKIT_RCINC = '''STRINGTABLE
BEGIN
    SMsgDlgYes "&Yes"
END
'''


class StringTableTest(unittest.TestCase):
    def test_parses_entries_with_and_without_commas(self):
        entries, language = L.parse_string_table(ENGLISH_RC)
        self.assertEqual(language, "0x09, 0x01")
        self.assertEqual([e.name for e in entries], ["S_ONE", "S_TWO", "S_THREE", "S_NUM"])
        self.assertEqual(L.decode_rc_literal(entries[1].literal), 'Line\r\nbreak "quoted"')
        toolkit, _ = L.parse_string_table(TOOLKIT_RCINC)
        self.assertEqual([(e.name, e.literal) for e in toolkit], [("SMsgDlgYes", '"&Yes"')])

    def test_missing_and_mismatched_translations_keep_english(self):
        english, _ = L.parse_string_table(ENGLISH_RC)
        translated, _ = L.parse_string_table('STRINGTABLE\nBEGIN\n S_ONE, "Un %s sur %d"\n'
                                             ' S_TWO, "Ligne %s"\n S_OLD, "x"\nEND\n')
        merge = L.merge_string_tables(english, translated, 1252)
        self.assertEqual(dict(merge.entries), {"S_ONE": '"Un %s sur %d"', "S_TWO": english[1].literal,
                                               "S_THREE": '"Three"', "S_NUM": '"$%s"'})
        self.assertEqual(merge.untranslated, ["S_THREE"])
        self.assertEqual(merge.mismatched, ["S_TWO"])
        self.assertEqual(merge.unknown, ["S_OLD"])

    def test_swapped_placeholders_are_refused(self):
        english, _ = L.parse_string_table(ENGLISH_RC)
        translated, _ = L.parse_string_table('STRINGTABLE\nBEGIN\n S_ONE, "%d : %s"\nEND\n')
        self.assertEqual(L.merge_string_tables(english, translated, 1252).mismatched, ["S_ONE"])

    def test_text_outside_the_code_page_is_an_error(self):
        english, _ = L.parse_string_table(ENGLISH_RC)
        translated, _ = L.parse_string_table('STRINGTABLE\nBEGIN\n S_THREE, "Trei \u021bări"\nEND\n')
        with self.assertRaisesRegex(L.LangError, "S_THREE.*1250"):
            L.merge_string_tables(english, translated, 1250)

    def test_rendered_table_reparses_to_the_merge(self):
        english, _ = L.parse_string_table(ENGLISH_RC)
        translated, _ = L.parse_string_table('STRINGTABLE\nBEGIN\n S_THREE, "Trois été"\nEND\n')
        merge = L.merge_string_tables(english, translated, 1252)
        rc = L.render_string_rc(merge, "0x0C,0x01", ["StringIds.h"])
        self.assertIn("#pragma code_page(65001)", rc)
        entries, language = L.parse_string_table(rc)
        self.assertEqual(language, "0x0C,0x01")
        self.assertEqual([(e.name, e.literal) for e in entries], merge.entries)


class ModuleTest(unittest.TestCase):
    def build(self, tmp, strings, texts, master=False, codepage=1252):
        forms = os.path.join(tmp, "forms")
        os.makedirs(forms)
        with open(os.path.join(forms, "TAboutBox.frm"), "w", encoding="latin-1") as f:
            f.write(FORM)
        lang = os.path.join(tmp, "lang")
        os.makedirs(lang)
        if texts is not None:
            with open(os.path.join(lang, "TAboutBox.txt"), "w", encoding="utf-8") as f:
                f.write(texts)
        paths = []
        for name, content in (("Strings.enu.rc", ENGLISH_RC), ("Toolkit.rcinc", TOOLKIT_RCINC.replace("END", '    SCodePage "1252"\nEND')),
                              ("Strings.fra.rc", strings)):
            with open(os.path.join(tmp, name), "w", encoding="utf-8") as f:
                f.write(content)
            paths.append(os.path.join(tmp, name))
        args = SimpleNamespace(lang="fra", module="ZeltoPrg.fra", codepage=codepage, language="0x0C,0x01",
                               out=os.path.join(tmp, "out"), forms=[os.path.join(forms, "TAboutBox.frm")],
                               texts_dir=lang, english_strings=paths[:2], strings=paths[2:],
                               include=["StringIds.h"], master=master)
        warnings = []
        L.build_module(args, warnings.append)
        with open(os.path.join(tmp, "out", "Module.rc"), encoding="utf-8") as f:
            rc = f.read()
        with open(os.path.join(tmp, "out", "forms", "TAboutBox.frm"), encoding="latin-1") as f:
            form = f.read()
        return rc, form, warnings

    def test_module_holds_strings_and_descriptions_and_lists_what_is_missing(self):
        with tempfile.TemporaryDirectory() as tmp:
            rc, form, warnings = self.build(
                tmp, 'STRINGTABLE\nBEGIN\n S_ONE, "Un %s sur %d"\nEND\n', "BtOK.Caption = '&Fermer'\n")
            self.assertRegex(rc, r'S_ONE, +"Un %s sur %d"')
            self.assertIn('SMsgDlgYes, "&Yes"', rc)
            self.assertRegex(rc, r'TABOUTBOX RCDATA ".*/out/forms/TAboutBox.frm"')
            self.assertIn("Caption = '&Fermer'", form)
            report = "\n".join(warnings)
            self.assertIn("ZeltoPrg.fra", report)
            self.assertIn("TAboutBox: AboutBox.Caption = 'About'", report)
            self.assertIn("strings: S_THREE", report)
            self.assertIn("strings: SMsgDlgYes", report)
            self.assertNotIn("strings: S_ONE", report)
            self.assertNotIn("S_NUM", report)

    def test_the_module_names_its_own_code_page(self):
        with tempfile.TemporaryDirectory() as tmp:
            rc, _, warnings = self.build(tmp, "", None, codepage=1250)
            self.assertRegex(rc, r'SCodePage, +"1250"')
            self.assertNotIn("SCodePage", "\n".join(warnings))

    def test_a_window_without_texts_stays_english(self):
        with tempfile.TemporaryDirectory() as tmp:
            _, form, warnings = self.build(tmp, "", None)
            self.assertEqual(form, FORM)
            self.assertIn("TAboutBox: BtOK.Caption = '&OK'", "\n".join(warnings))

    def test_the_english_module_warns_of_nothing(self):
        with tempfile.TemporaryDirectory() as tmp:
            _, form, warnings = self.build(tmp, "", None, master=True)
            self.assertEqual(form, FORM)
            self.assertEqual(warnings, [])

    def test_command_line_errors_fail_the_build_step(self):
        with tempfile.TemporaryDirectory() as tmp:
            with open(os.path.join(tmp, "A.frm"), "w") as f:
                f.write("object A: TA\n")
            err = io.StringIO()
            with redirect_stderr(err):
                code = L.main(["module", "--lang", "fra", "--codepage", "1252", "--out", tmp,
                               "--forms", os.path.join(tmp, "A.frm"), "--english-strings",
                               os.path.join(tmp, "none.rc")])
            self.assertEqual(code, 1)
            self.assertIn("lang_build: error:", err.getvalue())


if __name__ == "__main__":
    unittest.main()
