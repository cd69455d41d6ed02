// A failed build, as the learner reads it (see problems.h).
#include "problems.h"

#include <ctype.h>
#include <string.h>

#include <map>

#include "json.h"

namespace {

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (;;) {
        size_t end = text.find('\n', start);
        lines.push_back(
            text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) return lines;
        start = end + 1;
    }
}

std::string trim(const std::string& s) {
    size_t a = s.find_first_not_of(" \t\r"), b = s.find_last_not_of(" \t\r");
    return a == std::string::npos ? "" : s.substr(a, b - a + 1);
}

bool isWordChar(char c) { return isalnum((unsigned char)c) || c == '_'; }

// Whether `line` declares `name` as an input, output, uniform or varying.
bool declares(const std::string& line, const std::string& name) {
    std::string t = trim(line);
    if (t.compare(0, 6, "layout") == 0) {
        size_t close = t.find(')');
        if (close == std::string::npos) return false;
        t = trim(t.substr(close + 1));
    }
    for (const char* q : {"flat ", "smooth "})
        if (t.compare(0, strlen(q), q) == 0) t = trim(t.substr(strlen(q)));
    bool qualified = false;
    for (const char* q : {"in ", "out ", "uniform ", "varying "})
        if (t.compare(0, strlen(q), q) == 0) {
            t = trim(t.substr(strlen(q)));
            qualified = true;
        }
    if (!qualified) return false;
    size_t type = t.find_first_of(" \t");  // the type, then the name
    if (type == std::string::npos) return false;
    t = trim(t.substr(type));
    return t.compare(0, name.size(), name) == 0 &&
           (t.size() == name.size() || !isWordChar(t[name.size()]));
}

}  // namespace

std::vector<Problem> problemsOf(const BuildReport& build) {
    const std::string* files[] = {&build.fileVert, &build.fileFrag};
    const std::vector<std::string> texts[] = {linesOf(build.textVert), linesOf(build.textFrag)};
    const char* const stages[] = {"vertex", "fragment"};
    std::vector<Problem> problems;
    std::map<std::string, size_t> at;  // file:line -> its problem
    std::map<std::string, int> more;   // file:line -> messages after the first
    for (const Diagnostic& d : build.diagnostics) {
        Problem p;
        p.file = d.file;
        p.stage = d.stage;
        p.line = d.line;
        p.message = d.message;
        if (d.stage == "link") {
            // The linker's log, once: Mesa's repeats a message after a '.'
            // and ends with a lone one.
            size_t from = d.message.find_first_not_of(". \t");
            if (from == std::string::npos) continue;
            p.message = "The pair did not link: " + d.message.substr(from);
            bool said = false;
            for (const Problem& q : problems) said = said || q.message == p.message;
            if (said) continue;
            // Each word of the message that a shader declares: where.
            std::vector<std::string> named;
            for (size_t i = 0; i < d.message.size();) {
                if (!isalpha((unsigned char)d.message[i]) && d.message[i] != '_') {
                    ++i;
                    continue;
                }
                size_t j = i;
                while (j < d.message.size() && isWordChar(d.message[j])) ++j;
                std::string word = d.message.substr(i, j - i);
                i = j;
                bool again = false;
                for (const std::string& n : named) again = again || n == word;
                if (again) continue;
                named.push_back(word);
                for (int s = 0; s < 2; ++s)
                    for (size_t l = 0; l < texts[s].size(); ++l)
                        if (declares(texts[s][l], word)) {
                            p.notes.push_back("declared in " + std::string(stages[s]) + " shader " +
                                              *files[s] + " line " + std::to_string(l + 1) + ": " +
                                              trim(texts[s][l]));
                            p.marks.push_back({*files[s], (int)l + 1});
                        }
            }
            problems.push_back(p);
            continue;
        }
        std::string key = d.file + ":" + std::to_string(d.line);
        if (d.line && at.count(key)) {  // the same line's cascade: counted
            ++more[key];
            continue;
        }
        at[key] = problems.size();
        const std::vector<std::string>* lines = nullptr;
        for (int s = 0; s < 2; ++s)
            if (d.file == *files[s]) lines = &texts[s];
        if (lines && d.line >= 1 && (size_t)d.line <= lines->size())
            p.source = trim((*lines)[d.line - 1]);
        bool syntax = d.message.find("unexpected") != std::string::npos ||
                      d.message.find("expected") != std::string::npos ||
                      d.message.find("syntax error") != std::string::npos;
        if (lines && syntax && d.line > 1 && (size_t)d.line - 1 <= lines->size()) {
            // The last line of code before it, past blank lines and comments.
            int at = d.line - 1;
            std::string before;
            while (at >= 1 &&
                   ((before = trim((*lines)[at - 1])).empty() || before.compare(0, 2, "//") == 0))
                --at;
            if (at >= 1 && !strchr(";{}", before.back()))
                p.notes.push_back("(the line before, " + std::to_string(at) + ", lacks its end? " +
                                  before + ")");
        }
        if (d.line) p.marks.push_back({d.file, d.line});
        problems.push_back(p);
    }
    for (const auto& m : more)
        problems[at[m.first]].notes.push_back("(and " + std::to_string(m.second) +
                                              " more on this line, most likely from the first)");
    return problems;
}

std::string problemText(const Problem& p) {
    std::string text =
        p.stage == "link"
            ? p.message
            : p.file + (p.line ? " line " + std::to_string(p.line) : "") + ": " + p.message;
    if (!p.source.empty()) text += "\n    " + p.source;
    for (const std::string& n : p.notes) text += "\n    " + n;
    return text;
}

std::string problemsText(const std::vector<Problem>& problems) {
    std::string text;
    for (const Problem& p : problems) text += problemText(p) + "\n";
    return text;
}

void addBuild(Json& object, const BuildReport& report) {
    Json diagnostics('[');
    for (const Diagnostic& d : report.diagnostics)
        diagnostics.item(Json('{')
                             .string("file", d.file)
                             .string("stage", d.stage)
                             .number("line", d.line)
                             .string("message", d.message)
                             .done());
    Json problems('[');
    for (const Problem& p : problemsOf(report)) {
        Json notes('['), marks('[');
        for (const std::string& n : p.notes) notes.item(quoted(n));
        for (const auto& m : p.marks)
            marks.item(Json('{').string("file", m.first).number("line", m.second).done());
        problems.item(Json('{')
                          .string("file", p.file)
                          .string("stage", p.stage)
                          .number("line", p.line)
                          .string("message", p.message)
                          .string("source", p.source)
                          .string("text", problemText(p))
                          .field("notes", notes.done())
                          .field("marks", marks.done())
                          .done());
    }
    object.boolean("built", report.built)
        .field("diagnostics", diagnostics.done())
        .field("problems", problems.done());
}
