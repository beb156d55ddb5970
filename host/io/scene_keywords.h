// The scene-file keywords of an object's render flags, one per flag, read
// and written alike. Fog is not among them: the file says "AffectedByFog 0"
// for an object fog leaves alone, the other way round.
#ifndef MORVANE_HOST_IO_SCENE_KEYWORDS_H
#define MORVANE_HOST_IO_SCENE_KEYWORDS_H

#include <lwrender.h>

namespace host {

struct FlagKeyword {
    const char* keyword;
    unsigned int bit;
};

inline constexpr FlagKeyword kFlagKeywords[] = {
    {"UnseenByCamera", LWOBJF_UNSEEN_BY_CAMERA},
    {"UnseenByRays", LWOBJF_UNSEEN_BY_RAYS},
    {"UnseenByAlphaChannel", LWOBJF_UNSEEN_BY_ALPHA},
    {"UnseenByRadiosity", LWOBJF_UNSEEN_BY_RADIOSITY},
    {"MatteObject", LWOBJF_MATTE},
};

} // namespace host

#endif
