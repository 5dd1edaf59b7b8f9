#include "tagtables.h"

#include <strings.h>

namespace TagTables {

const wchar_t *const kGenres[148] = {
    L"Blues", L"Classic Rock", L"Country", L"Dance", L"Disco", L"Funk", L"Grunge", L"Hip-Hop",
    L"Jazz", L"Metal", L"New Age", L"Oldies", L"Other", L"Pop", L"R&B", L"Rap", L"Reggae", L"Rock",
    L"Techno", L"Industrial", L"Alternative", L"Ska", L"Death Metal", L"Pranks", L"Soundtrack",
    L"Euro-Techno", L"Ambient", L"Trip-Hop", L"Vocal", L"Jazz+Funk", L"Fusion", L"Trance",
    L"Classical", L"Instrumental", L"Acid", L"House", L"Game", L"Sound Clip", L"Gospel", L"Noise",
    L"Alternative Rock", L"Bass", L"Soul", L"Punk", L"Space", L"Meditative", L"Instrumental Pop",
    L"Instrumental Rock", L"Ethnic", L"Gothic", L"Darkwave", L"Techno-Industrial", L"Electronic",
    L"Pop-Folk", L"Eurodance", L"Dream", L"Southern Rock", L"Comedy", L"Cult", L"Gangsta",
    L"Top 40", L"Christian Rap", L"Pop/Funk", L"Jungle", L"Native US", L"Cabaret", L"New Wave",
    L"Psychadelic", L"Rave", L"Showtunes", L"Trailer", L"Lo-Fi", L"Tribal", L"Acid Punk",
    L"Acid Jazz", L"Polka", L"Retro", L"Musical", L"Rock & Roll", L"Hard Rock", L"Folk",
    L"Folk-Rock", L"National Folk", L"Swing", L"Fast Fusion", L"Bebob", L"Latin", L"Revival",
    L"Celtic", L"Bluegrass", L"Avantgarde", L"Gothic Rock", L"Progressive Rock",
    L"Psychedelic Rock", L"Symphonic Rock", L"Slow Rock", L"Big Band", L"Chorus", L"Easy Listening",
    L"Acoustic", L"Humour", L"Speech", L"Chanson", L"Opera", L"Chamber Music", L"Sonata",
    L"Symphony", L"Booty Bass", L"Primus", L"Porn Groove", L"Satire", L"Slow Jam", L"Club",
    L"Tango", L"Samba", L"Folklore", L"Ballad", L"Power Ballad", L"Rhytmic Soul", L"Freestyle",
    L"Duet", L"Punk Rock", L"Drum Solo", L"Acapella", L"Euro-House", L"Dance Hall", L"Goa",
    L"Drum & Bass", L"Club-House", L"Hardcore", L"Terror", L"Indie", L"BritPop", L"Negerpunk",
    L"Polsk Punk", L"Beat", L"Christian Gangsta", L"Heavy Metal", L"Black Metal", L"Crossover",
    L"Contemporary C", L"Christian Rock", L"Merengue", L"Salsa", L"Thrash Metal", L"Anime", L"JPop",
    L"SynthPop",
};

namespace {

struct LanguageRow
{
    const char *twoLetter;
    const char *threeLetter;
};

// Two-letter codes with their bibliographic three-letter codes; the row without a two-letter
// code stands for the reserved local range and is never matched.
const LanguageRow kLanguages[] = {
    {"aa", "aar"}, {"ab", "abk"}, {"af", "afr"}, {"sq", "alb"}, {"am", "amh"}, {"ar", "ara"},
    {"hy", "arm"}, {"as", "asm"}, {"ae", "ave"}, {"ay", "aym"}, {"az", "aze"}, {"ba", "bak"},
    {"eu", "baq"}, {"be", "bel"}, {"bn", "ben"}, {"bh", "bih"}, {"bi", "bis"}, {"bs", "bos"},
    {"br", "bre"}, {"bg", "bul"}, {"my", "bur"}, {"ca", "cat"}, {"ch", "cha"}, {"ce", "che"},
    {"zh", "chi"}, {"cu", "chu"}, {"cv", "chv"}, {"kw", "cor"}, {"co", "cos"}, {"cs", "cze"},
    {"da", "dan"}, {"nl", "dut"}, {"dz", "dzo"}, {"en", "eng"}, {"eo", "epo"}, {"et", "est"},
    {"fo", "fao"}, {"fj", "fij"}, {"fi", "fin"}, {"fr", "fre"}, {"fy", "fry"}, {"ka", "geo"},
    {"de", "ger"}, {"gd", "gla"}, {"ga", "gle"}, {"gl", "glg"}, {"gv", "glv"}, {"el", "ell"},
    {"gn", "grn"}, {"gu", "guj"}, {"he", "heb"}, {"hz", "her"}, {"hi", "hin"}, {"ho", "hmo"},
    {"hu", "hun"}, {"is", "ice"}, {"iu", "iku"}, {"ie", "ile"}, {"ia", "ina"}, {"id", "ind"},
    {"ik", "ipk"}, {"it", "ita"}, {"jv", "jav"}, {"ja", "jpn"}, {"kl", "kal"}, {"kn", "kan"},
    {"ks", "kas"}, {"kk", "kaz"}, {"km", "khm"}, {"ki", "kik"}, {"rw", "kin"}, {"ky", "kir"},
    {"kv", "kom"}, {"ko", "kor"}, {"kj", "kua"}, {"ku", "kur"}, {"lo", "lao"}, {"la", "lat"},
    {"lv", "lav"}, {"ln", "lin"}, {"lt", "lit"}, {"lb", "ltz"}, {"mk", "mac"}, {"mh", "mah"},
    {"ml", "mal"}, {"mi", "mao"}, {"mr", "mar"}, {"ms", "may"}, {"mg", "mlg"}, {"mt", "mlt"},
    {"mo", "mol"}, {"mn", "mon"}, {"na", "nau"}, {"nv", "nav"}, {"nr", "nbl"}, {"nd", "nde"},
    {"ng", "ndo"}, {"ne", "nep"}, {"no", "nor"}, {"nn", "nno"}, {"nb", "nob"}, {"ny", "nya"},
    {"oc", "oci"}, {"or", "ori"}, {"om", "orm"}, {"od", "osd"}, {"os", "oss"}, {"pa", "pan"},
    {"fa", "per"}, {"pi", "pli"}, {"pl", "pol"}, {"pt", "por"}, {"ps", "pus"}, {"qu", "que"},
    {"", "qaa"}, {"rm", "roh"}, {"ro", "rum"}, {"rn", "run"}, {"ru", "rus"}, {"sg", "sag"},
    {"sa", "san"}, {"sr", "scc"}, {"hr", "scr"}, {"si", "sin"}, {"sk", "slo"}, {"sl", "slv"},
    {"se", "sme"}, {"sm", "smo"}, {"sn", "sna"}, {"sd", "snd"}, {"so", "som"}, {"st", "sot"},
    {"es", "spa"}, {"sc", "srd"}, {"ss", "ssw"}, {"su", "sun"}, {"sw", "swa"}, {"sv", "swe"},
    {"ty", "tah"}, {"ta", "tam"}, {"tt", "tat"}, {"te", "tel"}, {"tg", "tgk"}, {"tl", "tgl"},
    {"th", "tha"}, {"bo", "tib"}, {"ti", "tir"}, {"to", "ton"}, {"tn", "tsn"}, {"ts", "tso"},
    {"tr", "tur"}, {"tk", "tuk"}, {"tw", "twi"}, {"ug", "uig"}, {"uk", "ukr"}, {"ur", "urd"},
    {"uz", "uzb"}, {"vi", "vie"}, {"vo", "vol"}, {"cy", "wel"}, {"wo", "wol"}, {"xh", "xho"},
    {"yi", "yid"}, {"yo", "yor"}, {"za", "zha"}, {"zu", "zul"},
};

} // namespace

const char *LanguageCodeFor(const char *twoLetter)
{
    if (!twoLetter || !*twoLetter)
        return nullptr;
    for (const LanguageRow &row : kLanguages) {
        if (strcasecmp(row.twoLetter, twoLetter) == 0)
            return row.threeLetter;
    }
    return nullptr;
}

} // namespace TagTables
