// A failed build as the learner reads it, on the desktop and the page alike.
#include <gtest/gtest.h>

#include "problems.h"

namespace {

BuildReport failed(const std::string& frag, std::vector<Diagnostic> said) {
    BuildReport b;
    b.fileVert = "a.vert";
    b.fileFrag = "a.frag";
    b.textVert =
        "#version 110\nvarying vec4 colour;\nvoid main() { gl_Position = ftransform(); }\n";
    b.textFrag = frag;
    b.diagnostics = said;
    return b;
}

TEST(Problems, ALineWithoutItsEndIsNamedWithTheErrorOnTheNext) {
    // The error lands on the next line of code, past a blank line and a comment.
    auto p = problemsOf(
        failed("void main() {\n    vec4 c = gl_Color\n\n    // pink\n    gl_FragColor = c;\n}\n",
               {{"a.frag", "fragment", 5, "syntax error, unexpected NEW_IDENTIFIER"}}));
    ASSERT_EQ(p.size(), 1u);
    EXPECT_EQ(problemsText(p),
              "a.frag line 5: syntax error, unexpected NEW_IDENTIFIER\n"
              "    gl_FragColor = c;\n"
              "    (the line before, 2, lacks its end? vec4 c = gl_Color)\n");
}

TEST(Problems, OneLinesCascadeIsCountedNotRepeated) {
    auto p = problemsOf(failed("void main() {\n    gl_FragColor = a + b + c;\n}\n",
                               {{"a.frag", "fragment", 2, "'a' : undeclared identifier"},
                                {"a.frag", "fragment", 2, "'b' : undeclared identifier"},
                                {"a.frag", "fragment", 2, "'c' : undeclared identifier"}}));
    ASSERT_EQ(p.size(), 1u);
    EXPECT_EQ(p[0].notes,
              std::vector<std::string>{"(and 2 more on this line, most likely from the first)"});
    EXPECT_EQ(p[0].marks.size(), 1u);
}

TEST(Problems, TheLinkersLogOnceWithWhereEachShaderDeclaresIt) {
    const char* said = "fragment shader varying colour not written by vertex shader";
    auto p = problemsOf(failed("varying vec4 colour;\nvoid main() { gl_FragColor = colour; }\n",
                               {{"", "link", 0, std::string("error: ") + said},
                                {"", "link", 0, std::string(".error: ") + said},
                                {"", "link", 0, "."}}));
    ASSERT_EQ(p.size(), 1u);
    EXPECT_EQ(problemsText(p),
              std::string("The pair did not link: error: ") + said +
                  "\n    declared in vertex shader a.vert line 2: varying vec4 colour;"
                  "\n    declared in fragment shader a.frag line 1: varying vec4 colour;\n");
    EXPECT_EQ(p[0].marks, (std::vector<std::pair<std::string, int>>{{"a.vert", 2}, {"a.frag", 1}}));
}

}  // namespace
