#include <cognexa/MegaFileManagerClass.h>
#include <cognexa/XMLReaderClass.h>

#include "DataTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

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

TEST_F(XMLReaderTest, ManyChildrenLoadAndGrowableArraysGrowByTenThenByATenth)
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
}

// One byte of a document replaced by 0x00 or by 0xFF gives, byte by byte under each piece of the
// document: "." loads, "s" is a syntax error, "e" an unexpected end. Bytes are taken as they are,
// so the two differ only at a ">" that ends a tag's name: a 0 there leaves the name as it was
// when read as a 0-terminated string, while the scan runs on to the next ">".
TEST_F(XMLReaderTest, EveryDamagedByteGivesItsOwnResult)
{
    struct PieceStruct {
        const char* Text;
        const char* With_00;
        const char* With_FF;
    };
    const PieceStruct pieces[] = {
        {"<?xml version=\"1.0\"?>\n", "ss....................", "ss...................."},
        {"<!--p-->", ".sss.sss", ".sss.sss"},
        {"<R a=\"1\" b= \"2\">", "sss.ss.s..sss.ss", "sss.ss.s..sss.ss"},
        {"<A>x<!--c-->y</A>", "ss...sss.sss.sss.", "sss..sss.sss.ssss"},
        {"<B/>", "..ss", "..ss"},
        {"<C k=\"v\">t</C>", "sss.ss.es.ssss", "sss.ss.es.ssss"},
        {"</R>", "ses.", "sess"},
        {"<!--e-->", ".sss.ees", ".sss.ees"},
    };
    std::string whole;
    for (const PieceStruct& piece : pieces) whole += piece.Text;
    ASSERT_EQ(Load(whole), XML_OK);
    const std::map<char, XMLResultType> codes = {{'.', XML_OK}, {'s', XML_SYNTAX_ERROR}, {'e', XML_UNEXPECTED_END}};
    std::size_t at = 0;
    for (const PieceStruct& piece : pieces) {
        ASSERT_EQ(std::strlen(piece.With_00), std::strlen(piece.Text)) << piece.Text;
        ASSERT_EQ(std::strlen(piece.With_FF), std::strlen(piece.Text)) << piece.Text;
        for (std::size_t offset = 0; piece.Text[offset] != '\0'; ++offset, ++at) {
            for (const auto& [byte, expected] : {std::make_pair('\0', piece.With_00[offset]),
                                                 std::make_pair('\xff', piece.With_FF[offset])}) {
                std::string damaged = whole;
                damaged[at] = byte;
                EXPECT_EQ(Load(damaged), codes.at(expected))
                    << (byte == '\0' ? "0x00" : "0xFF") << " at byte " << offset << " of " << piece.Text;
            }
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

TEST_F(XMLReaderTest, DocumentsLoadFromArchiveMembers)
{
    Write_Archive(Dir / "xml.meg", {{"Data/Doc.xml", std::string(Header) + "<R><X>member</X></R>"}});
    MegaFileManagerClass manager;
    FileManagerBinding binding(&manager);
    ASSERT_NE(manager.Add_Mega_File(Dir / "xml.meg", 1, false), -1);
    ASSERT_EQ(Reader.Load_File("data\\doc.XML", true), XML_OK);
    EXPECT_EQ(Value(), "member");
}

// A reader loaded twice reads only the second document (the first had a sibling more).
TEST_F(XMLReaderTest, ASecondDocumentReplacesTheFirst)
{
    ASSERT_EQ(Load(std::string(Header) + "<R><X>first</X><Y/></R>"), XML_OK);
    ASSERT_EQ(Load(std::string(Header) + "<R><Z>second</Z></R>"), XML_OK);
    EXPECT_EQ(Value(), "second");
    EXPECT_EQ(Reader.Move_To_Next_Sibling(), XML_NO_NODE);
}

namespace {

// Everything a caller can observe of one load: the result, the notices, and with the cursor
// alone every node's name, text, attributes, place and the result of every move.
std::string Observe_Load(XMLReaderClass& reader, const std::string& path, bool trim)
{
    NoticeCapture::Notices().clear();
    const XMLResultType result = reader.Load_File(path, trim);
    std::string dump = "result " + std::to_string(result) + "\n";
    const std::string prefix = "xml parse error - File " + path + ": ";
    for (const auto& notice : NoticeCapture::Notices()) {
        std::string text = notice.second;
        if (text.compare(0, prefix.size(), prefix) == 0) text.replace(0, prefix.size(), "F: ");
        dump += "notice " + notice.first + " | " + text;
    }
    std::string out;
    auto node_line = [&]() {
        const XMLResultType tag = reader.Get_Tag_Name(out);
        dump += "node " + std::to_string(tag) + " " + out;
        reader.Get_Value(out);
        dump += " = [" + out + "]";
        if (const XMLNodeClass* node = reader.Get_Current_Node()) {
            dump += " #" + std::to_string(node->Get_Index()) + "/" + std::to_string(node->Get_Child_Count());
            for (int index = 0; index < node->Get_Attribute_Count(); ++index) {
                const XMLNodeClass::AttributeStruct& attribute = node->Get_Attribute(index);
                const bool found = reader.Get_Attribute(attribute.Name, out);
                dump += std::string(" ") + attribute.Name + "=\"" + attribute.Value + "\"" + (found ? out : "?");
            }
        }
        dump += "\n";
    };
    if (result != XML_OK) {
        node_line();
        // Each move is its own statement: the operands of "+" are evaluated in no fixed order.
        const XMLResultType to_child = reader.Move_To_First_Child();
        const XMLResultType to_sibling = reader.Move_To_Next_Sibling();
        const XMLResultType to_parent = reader.Move_To_Parent();
        dump += "moves " + std::to_string(to_child) + " " + std::to_string(to_sibling) + " " +
                std::to_string(to_parent) + "\n";
        return dump;
    }
    node_line();
    dump += "up " + std::to_string(reader.Move_To_Parent()) + "\n";
    const XMLNodeClass* root = reader.Get_Current_Node();
    node_line();
    for (;;) {
        if (reader.Move_To_First_Child() == XML_OK) {
            node_line();
            continue;
        }
        for (;;) {
            if (reader.Get_Current_Node() == root) break;
            const XMLResultType next = reader.Move_To_Next_Sibling();
            dump += "next " + std::to_string(next) + "\n";
            if (next == XML_OK) break;
            reader.Move_To_Parent();
        }
        if (reader.Get_Current_Node() == root) break;
        node_line();
    }
    const XMLResultType above_root = reader.Move_To_Parent();
    const XMLResultType above_nothing = reader.Move_To_Parent();
    dump += "past root " + std::to_string(above_root) + " " + std::to_string(above_nothing) + "\n";
    node_line();
    return dump;
}

std::uint64_t Fnv1a(const std::string& bytes)
{
    std::uint64_t hash = 14695981039346656037ull;
    for (unsigned char byte : bytes) hash = (hash ^ byte) * 1099511628211ull;
    return hash;
}

// The documents the reader is compared on: the fuzz seeds, the hostile shapes, every prefix and
// every 0x00 / 0xFF byte of a document using every construct, and seeded random mutations.
std::vector<std::pair<std::string, std::string>> Differential_Documents()
{
    std::vector<std::pair<std::string, std::string>> documents;
    std::vector<std::pair<std::string, std::string>> seeds;
    const std::filesystem::path corpus = std::filesystem::path(COGNEXA_SOURCE_DIR) / "fuzz/corpus/xml_reader";
    for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
        std::ifstream in(entry.path(), std::ios::binary);
        seeds.emplace_back(entry.path().filename().string(), std::string(std::istreambuf_iterator<char>(in), {}));
    }
    std::sort(seeds.begin(), seeds.end());
    const std::string whole = std::string(Header) +
                              "<!--p--><R a=\"1\" b= \"2\"><A>x<!--c-->y</A><B/><C k=\"v\">t</C>\n<D>&amp;</D ></R><!--e-->";
    seeds.emplace_back("whole", whole);
    for (const auto& seed : seeds) documents.emplace_back("corpus/" + seed.first, seed.second);

    documents.emplace_back("hostile/depth-limit", Nested(XMLReaderClass::Max_Depth));
    documents.emplace_back("hostile/depth-limit+1", Nested(XMLReaderClass::Max_Depth + 1));
    documents.emplace_back("hostile/depth-100000", Nested(100000));
    documents.emplace_back("hostile/1MB-attribute",
                           std::string(Header) + "<R><A big=\"" + std::string(1 << 20, 'v') + "\"/></R>");
    documents.emplace_back("hostile/1MB-text", std::string(Header) + "<R><A>" + std::string(1 << 20, 't') + "</A></R>");
    std::string wide = std::string(Header) + "<R>";
    for (int i = 0; i < 3000; ++i) wide += "<C n=\"" + std::to_string(i) + "\">" + std::to_string(i) + "</C>";
    documents.emplace_back("hostile/3000-children", wide + "</R>");

    for (std::size_t length = 0; length <= whole.size(); ++length) {
        documents.emplace_back("prefix/" + std::to_string(length), whole.substr(0, length));
    }
    for (std::size_t at = 0; at < whole.size(); ++at) {
        for (char byte : {'\0', '\xff'}) {
            std::string damaged = whole;
            damaged[at] = byte;
            documents.emplace_back(std::string(byte == '\0' ? "byte00/" : "byteff/") + std::to_string(at), damaged);
        }
    }
    const char* const tokens[] = {"<", ">", "</", "/>", "<!--", "-->", "--", "\"", "=", " ", "<A>", "</A>", "/", "\0"};
    std::uint32_t state = 0;
    auto next = [&state](std::uint32_t bound) {
        state = state * 1664525u + 1013904223u;
        return (state >> 8) % bound;
    };
    for (const auto& seed : seeds) {
        // Each seed's mutations depend on its name alone, so a seed added later changes no others.
        state = static_cast<std::uint32_t>(Fnv1a(seed.first));
        for (int round = 0; round < 120; ++round) {
            std::string bytes = seed.second;
            for (std::uint32_t edit = 0, edits = 1 + next(3); edit < edits && !bytes.empty(); ++edit) {
                const std::size_t at = next(static_cast<std::uint32_t>(bytes.size()));
                const char* token = tokens[next(sizeof tokens / sizeof tokens[0])];
                switch (next(3)) {
                case 0: bytes.insert(at, token, std::max<std::size_t>(std::strlen(token), 1)); break;
                case 1: bytes.erase(at, 1 + next(4)); break;
                default: bytes[at] = token[0]; break;
                }
            }
            documents.emplace_back("mutation/" + seed.first + "/" + std::to_string(round), bytes);
        }
    }
    return documents;
}

}  // namespace

// The reader's observable behaviour, compared with digests recorded from the reader that
// allocated one node per element (recorded again once when the moves past the root were put in
// order, after the old order had matched every digest). The seeds and the digests are files of the source tree, read
// directly; the documents go through the test's file system. COGNEXA_WRITE_XML_DIGESTS=1 records them again.
TEST_F(XMLReaderTest, EveryDocumentReadsAsRecorded)
{
    const std::string digests_path = std::string(COGNEXA_SOURCE_DIR) + "/tests/data/XMLReaderDigests.txt";
    const bool record = std::getenv("COGNEXA_WRITE_XML_DIGESTS") != nullptr;
    std::map<std::string, std::string> expected;
    {
        std::ifstream in(digests_path);
        std::string name, digest;
        while (in >> name >> digest) expected[name] = digest;
    }
    std::string recorded;
    int compared = 0;
    for (const auto& document : Differential_Documents()) {
        Write_File(Path, document.second);
        std::string dump;
        for (bool trim : {true, false}) {
            XMLReaderClass reader;
            dump += Observe_Load(reader, Path, trim);
        }
        char digest[17];
        std::snprintf(digest, sizeof digest, "%016llx", static_cast<unsigned long long>(Fnv1a(dump)));
        recorded += document.first + " " + digest + "\n";
        // A document without a recorded digest (from a seed added later) has nothing to match.
        const auto found = expected.find(document.first);
        if (record || found == expected.end()) continue;
        ++compared;
        EXPECT_EQ(found->second, digest) << document.first << ":\n" << dump.substr(0, 2000);
    }
    if (!record) {
        EXPECT_EQ(compared, static_cast<int>(expected.size())) << "every recorded document is still made";
    }
    if (record) std::ofstream(digests_path, std::ios::binary) << recorded;
}
