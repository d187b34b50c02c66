#include <cognexa/MegaFileManagerClass.h>
#include <cognexa/XMLReaderClass.h>

#include "DataTestSupport.h"

#include <gtest/gtest.h>

using namespace DataTest;

namespace {

const char* const Header = "<?xml version=\"1.0\"?>\n";
const char* const Caption = "Expect Strange Bugs...";

class XMLReaderTest : public ::testing::Test {
protected:
    // Loads bytes written to a file; the notices shown are in Notices().
    XMLResultType Load(const std::string& bytes, bool trim = true)
    {
        Write_File(Path, bytes);
        NoticeCapture::Notices().clear();
        return Reader.Load_File(Path, trim);
    }

    std::string Message_For(const char* message) const
    {
        return "xml parse error - File " + Path + ": " + message + "\n";
    }

    std::string Value() const
    {
        std::string value = "<none>";
        Reader.Get_Value(value);
        return value;
    }

    ScratchDirectory Dir;
    std::string Path = Dir / "test.xml";
    NoticeCapture Capture;
    XMLReaderClass Reader;
};

std::string Nested(int depth)
{
    std::string text = Header;
    for (int i = 0; i < depth; ++i) text += "<E>";
    text += "x";
    for (int i = 0; i < depth; ++i) text += "</E>";
    return text;
}

}  // namespace

TEST_F(XMLReaderTest, EveryFailureHasItsCodeAndItsMessage)
{
    const std::string h = Header;
    const char* header_message = "error reading xml header.";
    const char* syntax_message = "file has syntax errors, see log file";
    const char* comment_message = "syntax error reading comment.";
    struct Case {
        const char* what;
        std::string bytes;
        XMLResultType code;
        const char* message;
    } cases[] = {
        {"no header", "<!-- c --><R><A/></R>", XML_SYNTAX_ERROR, header_message},
        {"root without header", "<R><A/></R>", XML_SYNTAX_ERROR, header_message},
        {"empty file", "", XML_SYNTAX_ERROR, header_message},
        {"unterminated header", "<?xml version", XML_UNEXPECTED_END, header_message},
        {"lone <", "   <", XML_SYNTAX_ERROR, header_message},
        {"header only", h, XML_UNEXPECTED_END, syntax_message},
        {"root only, open and close", h + "<R></R>", XML_SYNTAX_ERROR,
         "file only has a root node with no other content."},
        {"root only, empty", h + "<R/>", XML_SYNTAX_ERROR, "file only has a root node with no other content."},
        {"two roots", h + "<R><A>1</A></R><B/>", XML_SYNTAX_ERROR, "file has multiple root nodes. Aborting!"},
        {"end tag in another case", h + "<R><A>1</a></R>", XML_SYNTAX_ERROR, syntax_message},
        {"space before equals", h + "<R><A k =\"v\"/></R>", XML_SYNTAX_ERROR, syntax_message},
        {"single quotes", h + "<R><A k='v'/></R>", XML_SYNTAX_ERROR, syntax_message},
        {"attribute without value", h + "<R><A k/></R>", XML_SYNTAX_ERROR, syntax_message},
        {"double hyphen in text comment", h + "<R><A><!-- a -- b --></A></R>", XML_SYNTAX_ERROR, syntax_message},
        {"three hyphens closing a comment", h + "<R><A/><!-- c ---></R>", XML_SYNTAX_ERROR, syntax_message},
        {"slash not followed by >", h + "<R><A/ ></R>", XML_SYNTAX_ERROR, syntax_message},
        {"end tag with junk", h + "<R><A/></R x>", XML_SYNTAX_ERROR, syntax_message},
        {"bad prolog comment", h + "<!-- a -- b --><R><A/></R>", XML_SYNTAX_ERROR, comment_message},
        {"open prolog comment", h + "<!-- a", XML_UNEXPECTED_END, comment_message},
        {"bad epilog comment", h + "<R><A/></R><!-- a -- b -->", XML_SYNTAX_ERROR, "syntax error reading comment"},
        {"open epilog comment", h + "<R><A/></R><!-- a", XML_UNEXPECTED_END, "syntax error reading comment"},
        {"ends in text", h + "<R><A>text", XML_UNEXPECTED_END, syntax_message},
        {"ends after child", h + "<R><A/>  \n", XML_SYNTAX_ERROR, syntax_message},
        {"ends in text after child", h + "<R><A/>tail", XML_UNEXPECTED_END, syntax_message},
        {"ends in attribute value", h + "<R><A x=\"1", XML_UNEXPECTED_END, syntax_message},
        {"ends in attribute name", h + "<R><A x", XML_UNEXPECTED_END, syntax_message},
        {"ends in element name", h + "<R><A", XML_UNEXPECTED_END, syntax_message},
        {"ends in end tag name", h + "<R><A/></R", XML_SYNTAX_ERROR, syntax_message},
        {"ends after empty-element slash", h + "<R><A/", XML_SYNTAX_ERROR, syntax_message},
        {"ends in content comment", h + "<R><A/><!-- c", XML_UNEXPECTED_END, syntax_message},
        {"ends right after comment hyphens", h + "<R><A/><!-- c --", XML_UNEXPECTED_END, syntax_message},
        {"nesting beyond the limit", Nested(XMLReaderClass::Max_Depth + 1), XML_SYNTAX_ERROR, syntax_message},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Load(c.bytes), c.code) << c.what;
        ASSERT_EQ(NoticeCapture::Notices().size(), 1u) << c.what;
        EXPECT_EQ(NoticeCapture::Notices()[0].first, Caption) << c.what;
        EXPECT_EQ(NoticeCapture::Notices()[0].second, Message_For(c.message)) << c.what;
        std::string name;
        EXPECT_LT(Reader.Get_Tag_Name(name), 0) << c.what << ": the cursor stays null";
        EXPECT_LT(Reader.Move_To_Next_Sibling(), 0) << c.what;
    }
}

TEST_F(XMLReaderTest, UnreadableFilesFailSilently)
{
    NoticeCapture::Notices().clear();
    EXPECT_EQ(Reader.Load_File(Dir / "missing.xml", true), XML_SYNTAX_ERROR);
    EXPECT_EQ(Reader.Load_File(Dir.Path(), true), XML_SYNTAX_ERROR);
    EXPECT_TRUE(NoticeCapture::Notices().empty());
}

TEST_F(XMLReaderTest, TextsAreTrimmedAndJoinedAcrossComments)
{
    struct Case {
        const char* what;
        const char* body;
        bool trim;
        const char* text;
    } cases[] = {
        {"comment joins, trimmed", "<R><A>  x <!-- c --> y  </A></R>", true, "x  y"},
        {"comment joins, untrimmed", "<R><A>  x <!-- c --> y  </A></R>", false, "  x  y  "},
        {"two comments", "<R><A>a<!--1-->b<!--2-->c</A></R>", true, "abc"},
        {"interior line breaks kept", "<R><A>\r\n one\r\n two \n</A></R>", true, "one\r\n two"},
        {"whitespace alone", "<R><A> \t\r\n </A></R>", true, ""},
        {"entities stay as written", "<R><A>a &amp; b &#65;</A></R>", true, "a &amp; b &#65;"},
        {"text after a child is dropped", "<R><A>t<B/>after</A></R>", true, "t"},
        {"children only", "<R><A>\n  <B>1</B>\n</A></R>", true, ""},
        {"empty element", "<R><A/></R>", true, ""},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(Load(std::string(Header) + c.body, c.trim), XML_OK) << c.what;
        EXPECT_EQ(Value(), c.text) << c.what;
    }
    EXPECT_TRUE(NoticeCapture::Notices().empty());
}

TEST_F(XMLReaderTest, AttributesAreFoundByExactNameInDocumentOrder)
{
    ASSERT_EQ(Load(std::string(Header) + "<R><A k=\"v\" k2= \"w\" k=\"second\" e=\"\" x:y=\"a'b\"/></R>"), XML_OK);
    struct Case {
        const char* name;
        bool found;
        const char* value;
    } cases[] = {
        {"k", true, "v"}, {"k2", true, "w"}, {"e", true, ""}, {"x:y", true, "a'b"}, {"K", false, ""}, {"k3", false, ""},
    };
    for (const Case& c : cases) {
        std::string value;
        EXPECT_EQ(Reader.Get_Attribute(c.name, value), c.found) << c.name;
        if (c.found) {
            EXPECT_EQ(value, c.value) << c.name;
        }
    }
    EXPECT_EQ(Reader.Get_Current_Node()->Get_Attribute_Count(), 5);
    std::string value;
    EXPECT_FALSE(Reader.Get_Attribute(nullptr, value));
}

TEST_F(XMLReaderTest, CursorWalksTheTreeAndReportsEveryEdge)
{
    ASSERT_EQ(Load(std::string(Header) + "<!-- prolog -->\n<Root><A>1<G>g</G></A><B>2</B></Root>\n<!-- tail -->"),
              XML_OK);
    std::string name;
    EXPECT_EQ(Reader.Get_Tag_Name(name), XML_OK);
    EXPECT_EQ(name, "A") << "the cursor starts on the root's first child";
    EXPECT_EQ(Reader.Move_To_First_Child(), XML_OK);
    EXPECT_EQ(Value(), "g");
    EXPECT_EQ(Reader.Move_To_First_Child(), XML_NO_CHILDREN);
    EXPECT_EQ(Reader.Move_To_Next_Sibling(), XML_NO_NODE);
    EXPECT_EQ(Value(), "g") << "a failed move leaves the cursor";
    EXPECT_EQ(Reader.Move_To_Parent(), XML_OK);
    EXPECT_EQ(Reader.Move_To_Next_Sibling(), XML_OK);
    EXPECT_EQ(Value(), "2");
    EXPECT_EQ(Reader.Move_To_Next_Sibling(), XML_NO_NODE);
    EXPECT_EQ(Reader.Get_Tag_Name(name), XML_OK);
    EXPECT_EQ(name, "B");
    EXPECT_EQ(Reader.Move_To_Parent(), XML_OK);
    EXPECT_EQ(Reader.Get_Tag_Name(name), XML_OK);
    EXPECT_EQ(name, "Root");
    EXPECT_EQ(Reader.Move_To_Next_Sibling(), XML_NO_NODE) << "the root has no parent";
    EXPECT_EQ(Reader.Move_To_Parent(), XML_OK);
    struct Operation {
        const char* what;
        XMLResultType result;
    } after_root[] = {
        {"Get_Tag_Name", Reader.Get_Tag_Name(name)},     {"Get_Value", Reader.Get_Value(name)},
        {"Move_To_Next_Sibling", Reader.Move_To_Next_Sibling()}, {"Move_To_First_Child", Reader.Move_To_First_Child()},
        {"Move_To_Parent", Reader.Move_To_Parent()},
    };
    for (const Operation& operation : after_root) EXPECT_EQ(operation.result, XML_NO_NODE) << operation.what;
    EXPECT_FALSE(Reader.Get_Attribute("k", name));
}

TEST_F(XMLReaderTest, EveryOperationOfAnEmptyReaderSaysNotLoaded)
{
    XMLReaderClass empty;
    std::string out;
    EXPECT_EQ(empty.Get_Tag_Name(out), XML_NOT_LOADED);
    EXPECT_EQ(empty.Get_Value(out), XML_NOT_LOADED);
    EXPECT_EQ(empty.Move_To_Next_Sibling(), XML_NOT_LOADED);
    EXPECT_EQ(empty.Move_To_First_Child(), XML_NOT_LOADED);
    EXPECT_EQ(empty.Move_To_Parent(), XML_NOT_LOADED);
    EXPECT_FALSE(empty.Get_Attribute("k", out));
    EXPECT_LT(XML_NOT_LOADED, 0);
    EXPECT_EQ(static_cast<unsigned int>(XML_UNEXPECTED_END), 0x80640008u);
}

TEST_F(XMLReaderTest, ChildArraysGrowByTenThenByATenth)
{
    std::string body = std::string(Header) + "<R>";
    for (int i = 0; i < 150; ++i) body += "<C/>";
    ASSERT_EQ(Load(body + "</R>"), XML_OK);
    EXPECT_EQ(Reader.Get_Root_Node()->Get_Child_Count(), 150);
    GrowableArrayClass<int> array;
    std::vector<int> capacities;
    for (int i = 0; i < 125; ++i) {
        array.Append(i);
        if (capacities.empty() || capacities.back() != array.Capacity()) capacities.push_back(array.Capacity());
    }
    EXPECT_EQ(capacities, (std::vector<int>{10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 121, 133}));
}

TEST_F(XMLReaderTest, HostileDocumentsFailCleanly)
{
    // Depth at the limit still loads; far beyond it fails without exhausting the stack.
    EXPECT_EQ(Load(Nested(XMLReaderClass::Max_Depth)), XML_OK);
    EXPECT_EQ(Load(Nested(100000)), XML_SYNTAX_ERROR);

    std::string huge(1 << 20, 'v');
    ASSERT_EQ(Load(std::string(Header) + "<R><A big=\"" + huge + "\"/></R>"), XML_OK);
    std::string value;
    EXPECT_TRUE(Reader.Get_Attribute("big", value));
    EXPECT_EQ(value.size(), huge.size());

    // Every prefix of a document ends inside some construct.
    const std::string whole = std::string(Header) +
                              "<!--p--><R a=\"1\" b= \"2\"><A>x<!--c-->y</A><B/><C k=\"v\">t</C></R><!--e-->";
    for (std::size_t length = 0; length < whole.size() - 8; ++length) {
        EXPECT_LT(Load(whole.substr(0, length)), 0) << "prefix of " << length;
    }
    // 0x00 and 0xFF anywhere must not derail the parser.
    for (std::size_t at = 0; at < whole.size(); ++at) {
        for (char byte : {'\0', '\xff'}) {
            std::string damaged = whole;
            damaged[at] = byte;
            const XMLResultType result = Load(damaged);
            EXPECT_TRUE(result == XML_OK || result < 0) << at;
        }
    }
}

TEST_F(XMLReaderTest, LongFileNamesAreShortenedInTheMiddleAndTheMessageKeptWhole)
{
    const std::string long_name = Dir.Path() + "/" + std::string(120, 'd') + "/" + std::string(200, 'f') + ".xml";
    Write_File(long_name, "no header");
    NoticeCapture::Notices().clear();
    EXPECT_EQ(Reader.Load_File(long_name, true), XML_SYNTAX_ERROR);
    ASSERT_EQ(NoticeCapture::Notices().size(), 1u);
    const std::string& text = NoticeCapture::Notices()[0].second;
    EXPECT_LE(text.size(), 255u);
    EXPECT_EQ(text.compare(0, 27, "xml parse error - File ./dd"), 0) << text;
    EXPECT_NE(text.find("..."), std::string::npos);
    EXPECT_NE(text.find("fff.xml: error reading xml header.\n"), std::string::npos) << text;
}

TEST_F(XMLReaderTest, DocumentsLoadFromArchiveMembersAndReadersAreReusable)
{
    Write_Archive(Dir / "xml.meg", {{"Data/Doc.xml", std::string(Header) + "<R><X>member</X></R>"}});
    MegaFileManagerClass manager;
    FileManagerBinding binding(&manager);
    ASSERT_NE(manager.Add_Mega_File(Dir / "xml.meg", 1, false), -1);
    {
        ASSERT_EQ(Reader.Load_File("data\\doc.XML", true), XML_OK);
        EXPECT_EQ(Value(), "member");
    }
    ASSERT_EQ(Load(std::string(Header) + "<R><Y>loose</Y></R>"), XML_OK);
    EXPECT_EQ(Value(), "loose");
}
