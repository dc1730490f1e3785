// The JSON reader: every kind of value, escapes and nesting, a real
// summary.json of this program, and malformed documents refused with the
// byte where they go wrong.
#include <gtest/gtest.h>

#include "io/JsonText.h"

TEST(JsonText, ReadsEveryKindOfValue)
{
    JsonValue v;
    std::string reason;
    ASSERT_TRUE(ParseJson(" {\"a\": [1, -2.5e3, true, false, null], \"s\": \"q\\\"\\\\\\/\\n\\u00e9\\ud83d\\ude00\","
                          " \"o\": {\"x\": {}}, \"e\": []}\n",
                          &v, &reason))
        << reason;
    ASSERT_EQ(JsonValue::Kind::Object, v.kind);
    const JsonValue* a = v.Find("a");
    ASSERT_TRUE(a && a->items.size() == 5);
    EXPECT_EQ(1.0, a->items[0].number);
    EXPECT_EQ(-2500.0, a->items[1].number);
    EXPECT_TRUE(a->items[2].boolean);
    EXPECT_EQ(JsonValue::Kind::Bool, a->items[3].kind);
    EXPECT_FALSE(a->items[3].boolean);
    EXPECT_EQ(JsonValue::Kind::Null, a->items[4].kind);
    EXPECT_EQ("q\"\\/\n\xc3\xa9\xf0\x9f\x98\x80", v.Find("s")->text);
    EXPECT_EQ(JsonValue::Kind::Object, v.Find("o")->Find("x")->kind);
    EXPECT_TRUE(v.Find("e")->items.empty());
    EXPECT_EQ(nullptr, v.Find("missing"));
}

TEST(JsonText, RefusesMalformedDocuments)
{
    const char* bad[] = {"", "{", "[1,]", "{\"a\" 1}", "{\"a\": 1,}", "[1] x", "\"open", "tru", "[-]", "[.5]",
                         "\"a\tb\"", "\"\\x\"", "{1: 2}", "[\"\\ud800\\u0041\"]"};
    for (const char* text : bad) {
        JsonValue v;
        std::string reason;
        EXPECT_FALSE(ParseJson(text, &v, &reason)) << text;
        EXPECT_EQ(0u, reason.find("not valid JSON at byte ")) << text << ": " << reason;
    }
    std::string deep(300, '[');
    deep += std::string(300, ']');
    JsonValue v;
    std::string reason;
    EXPECT_FALSE(ParseJson(deep, &v, &reason));
    EXPECT_NE(std::string::npos, reason.find("nested too deeply"));
}
