#!/usr/bin/env python3
# Writes tool/tool_panel_texts.h: the edit tool's English texts, the Japanese
# ones in Shift-JIS, and UTF-8 copies where newer hosts read them so.
# Run it after changing a text, then clang-format the header.
def esc(s, enc):
    b = s.encode(enc)
    if all(c < 0x80 for c in b):
        return '"' + s + '"'
    return '"' + ''.join('\\x%02X' % c for c in b) + '"'
singles = [
 ("TOOL_PANEL_EDIT", "Edit", "編集"),
 ("TOOL_PANEL_CURRENT", "Current", "ケージ"),
 ("TOOL_PANEL_BRUSH_RADIUS", "Brush Radius", "ブラシ半径"),
 ("TOOL_PANEL_STRENGTH", "Strength", "強さ"),
 ("TOOL_PANEL_STIFFNESS", "Stiffness", "硬さ"),
 ("TOOL_PANEL_FIX_OUTER", "Fix Outer Edges", "外周頂点を固定"),
 ("TOOL_PANEL_FIX_OUT_OF_RANGE", "Fix pnts out of range", "ブラシ範囲外の頂点を固定"),
 ("TOOL_PANEL_EDIT_BASE", "Edit BaseCage", "ベース形状を編集"),
 ("TOOL_PANEL_ZERO_KEY", "Zero-Key", "無変形キー"),
 ("TOOL_PANEL_CREATE_KEY", "Create Key", "キー作成"),
 ("TOOL_PANEL_DELETE_KEY", "Delete Key", "キー削除"),
 ("TOOL_PANEL_UNDO", "Undo", "ｱﾝﾄﾞｩ"),
 ("TOOL_PANEL_REDO", "Redo", "ﾘﾄﾞｩ"),
 ("TOOL_DELETE_ALL_TITLE", "Delete All Keys", "全キーフレームを削除"),
 ("TOOL_DELETE_ALL_TEXT", "Are you sure you want to clear all keys of the selected cages?", "現在選択されているケージの全キーフレームを削除しますか？"),
 ("TOOL_VISIBILITY_CHANGED", "The visibility setting of objects was changed.", "いくつかのオブジェクトの表示設定が変更されました。"),
 ("TOOL_ORDER_ARRANGED", "The internal array of objects was arranged.", "いくつかのオブジェクトの内部の配列順番が変更されました。"),
 ("FALLOFF_PANEL_TITLE", "Falloff Preferences", "減衰設定"),
 ("FALLOFF_PANEL_PRESETS", "Presets", "プリセット"),
]
utf8_singles = [
 ("TOOL_POPUP_NONE", " (none) ", " (なし) "),
 ("TOOL_POPUP_MULTIPLE", " (multiple) ", " (複数選択) "),
]
lists = [
 ("toolList", ["Sel Cage","Sel Point","Sel Lasso","Move","Rotate","Stretch","Size","Drag","Grab","GrabBody","GrabSkin","GrabTwist","Grabnet","Magnet","ReBody","Erase"],
  ["ケージ選択","頂点選択","投げ縄選択","移動","回転","ストレッチ","拡大縮小","ドラッグ","グラッブ","ｸﾞﾗｯﾌﾞﾎﾞﾃﾞｨ","ｸﾞﾗｯﾌﾞｽｷﾝ","ｸﾞﾗｯﾌﾞﾂｲｽﾄ","ｸﾞﾗｯﾌﾞﾈｯﾄ","マグネット","形状復元","消去"], False),
 ("editCommandList", ["Set Zero-Key","Create Key","Delete Keys","-----------------------","Open Falloff Panel","-----------------------","Display: Unseen","Display: Solid","Display: X-Ray"],
  ["無変形状態のキーフレームを作成","補間したキーフレームを作成","キーフレームを削除","-----------------------","影響減衰設定パネルを開く","-----------------------","ケージの表示を 非表示 に変更","ケージの表示を ソリッド に変更","ケージの表示を 透過 に変更"], True),
 ("falloffPresetList", ["Linear","Ease In","Ease Out","Smooth"], ["リニア","イーズイン","イーズアウト","スムース"], True),
]
out = []
out.append("// Texts of the edit tool's panels, English and Japanese: Shift-JIS, and UTF-8\n// copies of those that newer hosts show in UTF-8. Written by\n// scripts/tool_panel_texts.py; change the texts there.")
out.append("#ifndef MORVANE_TOOL_TOOL_PANEL_TEXTS_H\n#define MORVANE_TOOL_TOOL_PANEL_TEXTS_H\n")
for name, en, ja in singles:
    out.append('#define %s_EN "%s"' % (name, en))
    out.append('// "%s"' % ja)
    out.append('#define %s_JA %s' % (name, esc(ja, 'cp932')))
for name, en, ja in utf8_singles:
    out.append('#define %s_EN "%s"' % (name, en))
    out.append('// "%s"' % ja)
    out.append('#define %s_JA %s' % (name, esc(ja, 'cp932')))
    out.append('#define %s_UTF8_JA %s' % (name, esc(ja, 'utf-8')))
out.append("")
for name, en, ja, utf in lists:
    out.append("// %s" % " / ".join(ja))
    out.append("#define %s_EN_ITEMS %s" % (name.upper(), ", ".join('"%s"' % e for e in en)))
    out.append("#define %s_JA_ITEMS %s" % (name.upper(), ", ".join(esc(j, 'cp932') for j in ja)))
    if utf:
        out.append("#define %s_UTF8_JA_ITEMS %s" % (name.upper(), ", ".join(esc(j, 'utf-8') for j in ja)))
out.append("\n#endif")
open(__import__('os').path.join(__import__('os').path.dirname(__file__), '..', 'tool', 'tool_panel_texts.h'), 'w').write("\n".join(out) + "\n")
