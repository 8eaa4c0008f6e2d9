// Other editors colour scripts by the grammars in packaging/editors, which
// cannot ask the lexer: they must name exactly its reserved words, and the
// VS Code extension must declare the language and the debugger as vellum
// serves them.
#include "engine/core/unicode.h"
#include "engine/lexer/source_reader.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>

namespace vellum {
namespace {

using namespace Qt::StringLiterals;

const QString kEditors = QStringLiteral(VELLUM_SOURCE_DIR "/packaging/editors/");

QJsonObject ReadJson(const QString& file)
{
    QFile in(kEditors + file);
    EXPECT_TRUE(in.open(QIODevice::ReadOnly)) << file.toStdString();
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(in.readAll(), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << file.toStdString() << ": " << error.errorString().toStdString();
    return document.object();
}

std::set<std::string> LexerKeywords()
{
    std::set<std::string> words;
    for (std::u16string_view word : Keywords()) words.insert(ToUtf8(word));
    return words;
}

TEST(EditorGrammars, NameExactlyTheLexersKeywords)
{
    // TextMate: every alternation of whole words in the keyword and
    // constant rules; strings, numbers and comments have rules of their own.
    const QJsonObject grammar = ReadJson(u"vscode/syntaxes/vellum.tmLanguage.json"_s);
    EXPECT_EQ(grammar[u"scopeName"].toString(), "source.vellum");
    const QJsonObject rules = grammar[u"repository"].toObject();
    for (const char* kind : {"comments", "strings", "numbers"}) EXPECT_TRUE(rules.contains(kind)) << kind;
    const QRegularExpression alternation(uR"(\(\?:([\w|]+)\))"_s);
    std::set<std::string> textMate;
    for (const char* rule : {"keywords", "constants"}) {
        for (const QJsonValue pattern : rules[rule].toObject()[u"patterns"].toArray()) {
            const QString match = pattern[u"match"].toString();
            const QRegularExpressionMatch words = alternation.match(match);
            ASSERT_TRUE(words.hasMatch()) << match.toStdString();
            for (const QString& word : words.captured(1).split(u'|')) textMate.insert(word.toStdString());
        }
    }
    EXPECT_EQ(textMate, LexerKeywords());

    // vim: the words of every "syntax keyword" line.
    std::ifstream vim(VELLUM_SOURCE_DIR "/packaging/editors/vim/syntax/vellum.vim");
    ASSERT_TRUE(vim);
    std::set<std::string> vimWords;
    for (std::string line; std::getline(vim, line);) {
        static const std::regex keywordLine(R"(^syntax keyword \w+ (.*)$)");
        std::smatch m;
        if (!std::regex_match(line, m, keywordLine)) continue;
        std::istringstream words(m[1].str());
        for (std::string word; words >> word;) vimWords.insert(word);
    }
    EXPECT_EQ(vimWords, LexerKeywords());
}

TEST(EditorGrammars, TheVsCodeExtensionDeclaresTheLanguageAndTheDebugger)
{
    const QJsonObject contributes = ReadJson(u"vscode/package.json"_s)[u"contributes"].toObject();
    const QJsonValue language = contributes[u"languages"][0];
    EXPECT_EQ(language[u"id"].toString(), "vellum");
    EXPECT_EQ(language[u"extensions"].toArray(), QJsonArray({u".q9c"_s}));
    // The files it names are there and read.
    ReadJson(u"vscode/"_s + language[u"configuration"].toString());
    const QJsonValue grammar = contributes[u"grammars"][0];
    EXPECT_EQ(ReadJson(u"vscode/"_s + grammar[u"path"].toString())[u"scopeName"], grammar[u"scopeName"]);

    // The "vellum" debug type starts `vellum --dap` found on the PATH, and
    // offers every launch argument the server takes.
    const QJsonObject debugger = contributes[u"debuggers"][0].toObject();
    EXPECT_EQ(debugger[u"type"].toString(), "vellum");
    EXPECT_EQ(debugger[u"runtime"].toString(), "vellum");
    EXPECT_EQ(debugger[u"runtimeArgs"].toArray(), QJsonArray({u"--dap"_s}));
    EXPECT_FALSE(debugger.contains(u"program")); // it would be taken as the adapter's first argument
    EXPECT_EQ(debugger[u"configurationAttributes"][u"launch"][u"properties"].toObject().keys(),
              QStringList({u"console"_s, u"dpi"_s, u"program"_s, u"screen"_s, u"stopOnEntry"_s}));
}

} // namespace
} // namespace vellum
