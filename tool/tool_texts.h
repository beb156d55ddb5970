// Texts of the edit tool, English and Japanese (Shift-JIS).
#ifndef MORVANE_TOOL_TOOL_TEXTS_H
#define MORVANE_TOOL_TOOL_TEXTS_H

#define TOOL_HELP_TEXT "Morvane Tool"

#define TOOL_OBJECTS_ONLY_EN "Objects mode only."
// "オブジェクトを選択してから実行してください。"
#define TOOL_OBJECTS_ONLY_JA                                                                       \
    "\x83\x49\x83\x75\x83\x57\x83\x46\x83\x4E\x83\x67\x82\xF0\x91\x49\x91\xF0\x82\xB5\x82\xC4"     \
    "\x82\xA9\x82\xE7\x8E\xC0\x8D\x73\x82\xB5\x82\xC4\x82\xAD\x82\xBE\x82\xB3\x82\xA2\x81\x42"

#endif
