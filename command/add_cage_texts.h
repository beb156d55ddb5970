// Texts of the add-cage command, English and Japanese (Shift-JIS).
#ifndef MORVANE_COMMAND_ADD_CAGE_TEXTS_H
#define MORVANE_COMMAND_ADD_CAGE_TEXTS_H

#define ADD_CAGE_TITLE_EN "Add New Cage"
// "ケージ作成"
#define ADD_CAGE_TITLE_JA "\x83\x50\x81\x5B\x83\x57\x8D\xEC\x90\xAC"

#define ADD_CAGE_PARENT_EN "Parent Item"
// "ケージの親アイテム"
#define ADD_CAGE_PARENT_JA                                                                         \
    "\x83\x50\x81\x5B\x83\x57\x82\xCC\x90\x65\x83\x41\x83\x43\x83\x65\x83\x80"

#define ADD_CAGE_REFERENCE_EN "Reference Object"
// "参照オブジェクト"
#define ADD_CAGE_REFERENCE_JA "\x8E\x51\x8F\xC6\x83\x49\x83\x75\x83\x57\x83\x46\x83\x4E\x83\x67"

#define ADD_CAGE_NO_REFERENCE_EN "Please select a reference object."
// "参照オブジェクトを選択してください。"
#define ADD_CAGE_NO_REFERENCE_JA                                                                   \
    "\x8E\x51\x8F\xC6\x83\x49\x83\x75\x83\x57\x83\x46\x83\x4E\x83\x67\x82\xF0\x91\x49\x91\xF0"     \
    "\x82\xB5\x82\xC4\x82\xAD\x82\xBE\x82\xB3\x82\xA2\x81\x42"

#endif
