// What the reader reports besides text: character and paragraph formats, lists,
// tables, links, pictures, and the destinations it leaves out.
#include "ReaderTestSupport.h"

#include <gtest/gtest.h>

namespace quorlin::rtf::test {
namespace {

struct EventCase {
    const char* name;
    std::string rtf;
    std::string expected;  // a line, or part of one, that the event log must hold
};

void PrintTo(const EventCase& c, std::ostream* os) { *os << c.name; }

class ReaderEvents : public testing::TestWithParam<EventCase> {};

TEST_P(ReaderEvents, ReportsTheFormat) {
    const std::string log = Events(GetParam().rtf);
    EXPECT_NE(log.find(GetParam().expected), std::string::npos) << log;
}

const std::string kColors = "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}";

INSTANTIATE_TEST_SUITE_P(
    Character, ReaderEvents,
    testing::Values(
        EventCase{"Bold", Doc("\\b x\\b0 y"), "text \"x\" [b face=Arial size=24]\ntext \"y\" [face=Arial size=24]"},
        EventCase{"ItalicStrike", Doc("\\i\\strike x"), "text \"x\" [i s face=Arial"},
        EventCase{"DoubleStrike", Doc("\\striked1 x\\striked0 y"), "text \"x\" [s face"},
        EventCase{"UnderlineVariants", Doc("\\uldb a\\ulnone b\\ulwave c\\ul0 d"),
                  "text \"a\" [u face=Arial size=24]\ntext \"b\" [face=Arial size=24]\ntext \"c\" [u face=Arial size=24]\n"
                  "text \"d\" [face"},
        EventCase{"UnderlineColourIsNotUnderline", Doc("\\ulc1 x"), "text \"x\" [face=Arial"},
        EventCase{"FaceAndSize", "{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1\\froman Times New Roman;}}\\f1\\fs36 x}",
                  "text \"x\" [face=Times New Roman size=36]"},
        EventCase{"UnknownFontIsDefault", Doc("\\f9 x"), "text \"x\" [face=Arial size=24]"},
        EventCase{"Colour", Doc(kColors + "\\cf2 x"), "[face=Arial size=24 color=#0000ff]"},
        EventCase{"ColourZeroIsAutomatic", Doc(kColors + "\\cf0 x"), "text \"x\" [face=Arial size=24]\n"},
        EventCase{"MissingColourIsAutomatic", Doc(kColors + "\\cf7 x"), "text \"x\" [face=Arial size=24]\n"},
        EventCase{"Highlight", Doc(kColors + "\\highlight1 x"), "size=24 bg=#ff0000]"},
        EventCase{"CharacterShading", Doc(kColors + "\\chcbpat2 x"), "size=24 bg=#0000ff]"},
        EventCase{"SuperAndSub", Doc("\\super a\\sub b\\nosupersub c\\up6 d\\dn4 e\\up0 f"),
                  "\"a\" [super face=Arial size=24]\ntext \"b\" [sub face=Arial size=24]\ntext \"c\" [face=Arial size=24]\n"
                  "text \"d\" [super face=Arial size=24]\ntext \"e\" [sub face=Arial size=24]\ntext \"f\" [face"},
        EventCase{"PlainResetsToDefaultFont", "{\\rtf1\\deff1{\\fonttbl{\\f0 A;}{\\f1 B;}}\\f0\\b\\fs40 x\\plain y}",
                  "text \"y\" [face=B size=24]"},
        EventCase{"GroupsRestore", Doc("{\\b x}y"), "text \"y\" [face=Arial size=24]"},
        EventCase{"RunsJoin", Doc("a{\\b0 b}{c}\\'64"), "text \"abcd\" [face=Arial size=24]"}));

INSTANTIATE_TEST_SUITE_P(
    Paragraph, ReaderEvents,
    testing::Values(
        EventCase{"Alignment", Doc("\\qc x\\par\\pard\\qr y\\par\\pard\\qj z\\par"), "par [center"},
        EventCase{"RightAligned", Doc("\\qr y\\par"), "par [right"},
        EventCase{"Justified", Doc("\\qj y\\par"), "par [justify"},
        EventCase{"Indents", Doc("\\li720\\ri360\\fi-360\\sb120\\sa240 x\\par"),
                  "par [left li=720 ri=360 fi=-360 sb=120 sa=240 sl=0]"},
        EventCase{"LineSpacingMultiple", Doc("\\sl360\\slmult1 x\\par"), "sl=360 mult]"},
        EventCase{"LineSpacingExact", Doc("\\sl-300\\slmult0 x\\par"), "sl=-300]"},
        EventCase{"TabStops", Doc("\\tx720\\tqc\\tx2000\\tqr\\tx3000\\tqdec\\tx4000 x\\par"),
                  "tab=720:0 tab=2000:1 tab=3000:2 tab=4000:3]"},
        EventCase{"PardResets", Doc("\\qc\\li100 x\\par\\pard y\\par"), "par [left li=0"},
        EventCase{"ParagraphGroupRestores", Doc("{\\pard\\qc x\\par}y\\par"), "par [left li=0 ri=0 fi=0 sb=0 sa=0 sl=0]\nend"}));

const std::string kListTables =
    "{\\*\\listtable{\\list{\\listlevel\\levelnfc23{\\leveltext \\'01\\u8226 ?;}}{\\listlevel\\levelnfc4}\\listid7}"
    "{\\list{\\listlevel\\levelnfc2}{\\listlevel\\levelnfc1}{\\listlevel\\levelnfc3}\\listid8}}"
    "{\\listoverridetable{\\listoverride\\listid7\\listoverridecount0\\ls1}{\\listoverride\\listid8\\ls2}}";

INSTANTIATE_TEST_SUITE_P(
    Lists, ReaderEvents,
    testing::Values(
        EventCase{"BulletWithoutListText", Doc(kListTables + "{\\listtext \\'95\\tab}\\ls1\\ilvl0 item\\par"),
                  "text \"item\" [face=Arial size=24]\npar [left li=0 ri=0 fi=0 sb=0 sa=0 sl=0 list=bullet:1:0]"},
        EventCase{"SecondLevel", Doc(kListTables + "\\ls1\\ilvl1 x\\par"), "list=lower-alpha:1:1]"},
        EventCase{"Roman", Doc(kListTables + "\\ls2 x\\par"), "list=lower-roman:2:0]"},
        EventCase{"UpperRoman", Doc(kListTables + "\\ls2\\ilvl1 x\\par"), "list=upper-roman:2:1]"},
        EventCase{"UpperAlpha", Doc(kListTables + "\\ls2\\ilvl2 x\\par"), "list=upper-alpha:2:2]"},
        EventCase{"PardEndsList", Doc(kListTables + "\\ls1 x\\par\\pard y\\par"), "text \"y\" [face=Arial size=24]\npar [left li=0 ri=0 fi=0 sb=0 sa=0 sl=0]"},
        EventCase{"OldBullet", Doc("{\\pntext\\'b7\\tab}{\\*\\pn\\pnlvlblt{\\pntxtb\\'b7}}\\fi-360\\li720 item\\par"),
                  "text \"item\" [face=Arial size=24]\npar [left li=720 ri=0 fi=-360 sb=0 sa=0 sl=0 list=bullet:-1:0]"},
        EventCase{"OldNumbers", Doc("{\\pntext 1.\\tab}{\\*\\pn\\pnlvlbody\\pnucltr\\pnstart1{\\pntxta .}}a\\par"),
                  "text \"a\" [face=Arial size=24]\npar [left li=0 ri=0 fi=0 sb=0 sa=0 sl=0 list=upper-alpha:-1:0]"},
        EventCase{"OldListsApartAreTwo",
                  Doc("{\\*\\pn\\pnlvlblt}a\\par\\pard b\\par{\\*\\pn\\pnlvlblt}c\\par"), "list=bullet:-2:0]"}));

INSTANTIATE_TEST_SUITE_P(
    Structure, ReaderEvents,
    testing::Values(
        EventCase{"TableRow", Doc("\\trowd\\trleft-100\\cellx1000\\cellx2500\\intbl a\\cell b\\cell\\row\\pard c\\par"),
                  "text \"a\" [face=Arial size=24]\ncell [left li=0 ri=0 fi=0 sb=0 sa=0 sl=0 intbl]\ntext \"b\" "
                  "[face=Arial size=24]\ncell [left li=0 ri=0 fi=0 sb=0 sa=0 sl=0 intbl]\nrow left=-100 1000 2500\n"
                  "text \"c\""},
        EventCase{"TwoParagraphsInACell", Doc("\\trowd\\cellx1000\\intbl a\\par b\\cell\\row"),
                  "text \"a\" [face=Arial size=24]\npar [left li=0 ri=0 fi=0 sb=0 sa=0 sl=0 intbl]\ntext \"b\""},
        EventCase{"RowWithoutRowMark", Doc("\\trowd\\cellx1000\\intbl a\\cell"), "cell [left li=0 ri=0 fi=0 sb=0 sa=0 sl=0 intbl]\nrow left=0 1000\nend"},
        EventCase{"NestedCellsFlattened", Doc("\\trowd\\cellx1000\\intbl{\\itap2 x\\nestcell{\\*\\nesttableprops\\trowd\\nestrow}}y\\cell\\row"),
                  "text \"x\" [face=Arial size=24]\npar [left li=0 ri=0 fi=0 sb=0 sa=0 sl=0 intbl]\ntext \"y\""},
        EventCase{"Hyperlink", Doc("{\\field{\\*\\fldinst{HYPERLINK \"http://a.example/x?q=1\"}}{\\fldrslt{\\ul site}}} after"),
                  "text \"site\" [u face=Arial size=24 link=http://a.example/x?q=1]\ntext \" after\" [face=Arial size=24]"},
        EventCase{"HyperlinkToAnchor", Doc("{\\field{\\*\\fldinst HYPERLINK \\\\l \"intro\"}{\\fldrslt go}}"),
                  "text \"go\" [face=Arial size=24 link=#intro]"},
        EventCase{"OtherFieldShowsResult", Doc("{\\field{\\*\\fldinst PAGE}{\\fldrslt 3}}"), "text \"3\" [face=Arial size=24]\n"},
        EventCase{"PngPicture", Doc("{\\pict\\picw16\\pich12\\picwgoal240\\pichgoal180\\picscalex50\\picscaley200\\pngblip 89504e47}"),
                  "picture png bytes=4 px=16x12 goal=120x360"},
        EventCase{"JpegFromBinary", Doc("{\\pict\\jpegblip\\bin3 \xff\xd8}}"), "picture jpeg bytes=3"},
        EventCase{"ShapePictureOverFallback",
                  Doc("{\\*\\shppict{\\pict\\pngblip 0102}}{\\nonshppict{\\pict\\wmetafile8 0304}}x"),
                  "picture png bytes=2 px=0x0 goal=0x0 [face=Arial size=24]\ntext \"x\""},
        EventCase{"ObjectResult", Doc("{\\object\\objemb{\\*\\objclass Paint}{\\*\\objdata 0102}{\\result shown}}"),
                  "text \"shown\""},
        EventCase{"UnknownDestinationShown", Doc("{\\unknownword shown}"), "text \"shown\""}));

TEST(ReaderSkips, DestinationsWithoutVisibleText) {
    const std::string body =
        "{\\stylesheet{\\s0 Normal;}}{\\info{\\title T}{\\author A}}{\\*\\themedata 504b}{\\*\\datastore 01}"
        "{\\*\\latentstyles{\\lsdlockedexcept Normal;}}{\\*\\generator G;}{\\*\\rsidtbl \\rsid1}{\\*\\xmlnstbl{\\xmlns1 u}}"
        "{\\header H}{\\footer F}{\\footnote N}{\\*\\bkmkstart b}{\\*\\pgdsctbl{\\pgdsc0 P;}}{\\mmathPr\\mmathFont34}"
        "{\\*\\unknown{\\nested U}}{\\*\\colorschememapping 3c}{\\pict\\wmetafile8 0102}{\\nonshppict{\\pict\\pngblip 01}}"
        "seen\\par";
    EXPECT_EQ(Text(Doc(body)), "seen\n");
    EXPECT_EQ(Events(Doc(body)).find("picture"), std::string::npos);
}

TEST(ReaderSkips, StarOnlyInsideAGroupOfTheDocument) {
    // A stray \* outside a destination group must not swallow the document.
    EXPECT_EQ(Text("{\\rtf1\\*\\generator x;\\par}"), "x;\n");
}

}  // namespace
}  // namespace quorlin::rtf::test
