// Reading the exercises (see exercise_file.h).
#include "exercise_file.h"

#include <ctype.h>
#include <stdio.h>
#include <string.h>

namespace {

// The line without its end and surrounding spaces.
std::string trimmed(const char* line) {
    std::string s(line);
    while (!s.empty() && strchr(" \t\r\n", s.back())) s.pop_back();
    size_t start = s.find_first_not_of(" \t");
    return start == std::string::npos ? "" : s.substr(start);
}

// Splits "word rest of line" into its first word and the rest.
void split(const std::string& line, std::string& word, std::string& rest) {
    size_t space = line.find_first_of(" \t");
    word = line.substr(0, space);
    rest = space == std::string::npos ? "" : trimmed(line.c_str() + space);
}

bool pairOf(const std::string& rest, std::string& vert, std::string& frag) {
    std::string second;
    split(rest, vert, second);
    frag = second;
    return !vert.empty() && !frag.empty() && frag.find_first_of(" \t") == std::string::npos;
}

// The probe scenes a lesson can draw.
const char* const probeNames[] = {"seen",    "orbit",     "behind", "grazing",
                                  "colours", "shininess", "scale",  "images"};

bool knownProbe(const std::string& name) {
    for (const char* p : probeNames)
        if (name == p) return true;
    return false;
}

// A name a command line and a folder can hold as it is.
bool oneWord(const std::string& name) {
    if (name.empty()) return false;
    for (char c : name)
        if (!isalnum((unsigned char)c) && c != '_' && c != '-') return false;
    return true;
}

bool complete(const Exercise& e, std::string& missing) {
    if (e.lesson.empty())
        missing = "lesson";
    else if (e.statement.empty())
        missing = "statement";
    else if (e.startVert.empty())
        missing = "start";
    else if (e.solutionVert.empty())
        missing = "solution";
    else if (e.probes.size() < 4)
        missing = "four probes";
    else
        return true;
    return false;
}

}  // namespace

bool readExercises(const char* file, std::vector<Exercise>& exercises, std::string& why) {
    FILE* f = fopen(file, "r");
    if (!f) {
        why = std::string(file) + " cannot be read";
        return false;
    }
    char buffer[4096];
    int number = 0;
    std::vector<int> lines;    // where each exercise starts
    bool editsOfTerm = false;  // edit lines belong to the last term, not the last mistake
    std::string missing;
    auto fail = [&](const std::string& reason) {
        why = std::string(file) + ":" + std::to_string(number) + ": " + reason;
        fclose(f);
        return false;
    };
    while (fgets(buffer, sizeof buffer, f)) {
        ++number;
        if (!strchr(buffer, '\n') && !feof(f)) return fail("a line longer than 4,095 characters");
        std::string line = trimmed(buffer), word, rest;
        if (line.empty() || line[0] == '#') continue;
        split(line, word, rest);
        if (word == "exercise") {
            if (!exercises.empty() && !complete(exercises.back(), missing)) {
                number = lines.back();  // said at the exercise's own line
                return fail(exercises.back().name + " has no " + missing);
            }
            if (!oneWord(rest))
                return fail("an exercise's name is one word of letters, digits, _ and -, not \"" +
                            rest + "\"");
            for (size_t i = 0; i < exercises.size(); ++i)
                if (exercises[i].name == rest)
                    return fail("a second exercise called " + rest + " (the first is at line " +
                                std::to_string(lines[i]) + ")");
            lines.push_back(number);
            editsOfTerm = false;
            exercises.push_back(Exercise{});
            exercises.back().name = rest;
            continue;
        }
        if (exercises.empty()) return fail("\"" + word + "\" before the first \"exercise\"");
        Exercise& e = exercises.back();
        if (word == "lesson")
            e.lesson = rest;
        else if (word == "teaches")
            e.teaches += (e.teaches.empty() ? "" : " ") + rest;
        else if (word == "statement")
            e.statement += (e.statement.empty() ? "" : " ") + rest;
        else if (word == "hint")
            e.hints.push_back(rest);
        else if (word == "opens")
            e.opens.push_back(rest);
        else if (word == "start" || word == "solution") {
            bool ok = word == "start" ? pairOf(rest, e.startVert, e.startFrag)
                                      : pairOf(rest, e.solutionVert, e.solutionFrag);
            if (!ok) return fail(word + " wants two files, VERT and FRAG");
        } else if (word == "mistake" || word == "term") {
            KnownMistake m;
            split(rest, m.name, m.sentence);
            if (m.sentence.empty())
                return fail(word + " " + m.name + " says nothing to the learner");
            (word == "term" ? e.terms : e.mistakes).push_back(m);
            editsOfTerm = word == "term";
        } else if (word == "edit") {
            // " =>" at the end: the line's end took TO's space, and TO is empty
            size_t arrow = rest.find(" => ");
            if (arrow == std::string::npos && rest.size() > 3 &&
                rest.compare(rest.size() - 3, 3, " =>") == 0)
                arrow = rest.size() - 3;
            std::vector<KnownMistake>& made = editsOfTerm ? e.terms : e.mistakes;
            if (made.empty()) return fail("an edit before its mistake");
            if (arrow == std::string::npos || arrow == 0) return fail("an edit is FROM => TO");
            std::string to = arrow + 4 <= rest.size() ? rest.substr(arrow + 4) : "";
            made.back().edits.push_back({rest.substr(0, arrow), to});
        } else if (word == "probe") {
            ExerciseProbe p;
            split(rest, p.name, p.sentence);
            if (!knownProbe(p.name)) {
                std::string known;
                for (const char* name : probeNames)
                    known += std::string(known.empty() ? "" : ", ") + name;
                return fail("no probe called \"" + p.name + "\" (the probes: " + known + ")");
            }
            for (const ExerciseProbe& q : e.probes)
                if (q.name == p.name) return fail("probe " + p.name + " twice in " + e.name);
            e.probes.push_back(p);
        } else
            return fail("\"" + word + "\" is not a word of the exercises' file");
    }
    fclose(f);
    if (exercises.empty()) {
        why = std::string(file) + " holds no exercise";
        return false;
    }
    if (!complete(exercises.back(), missing)) {
        why = std::string(file) + ":" + std::to_string(lines.back()) + ": " +
              exercises.back().name + " has no " + missing;
        return false;
    }
    for (size_t i = 0; i + 1 < exercises.size(); ++i) exercises[i].next = exercises[i + 1].name;
    return true;
}

const Exercise* findExercise(const std::vector<Exercise>& exercises, const std::string& name) {
    for (const Exercise& e : exercises)
        if (e.name == name) return &e;
    return nullptr;
}

std::string pairFile(const std::string& path, bool core) {
    if (!core) return path;
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos
               ? "core/" + path
               : path.substr(0, slash + 1) + "core/" + path.substr(slash + 1);
}

// Every FROM in `text` made TO; whether there was one.
static bool replaced(std::string& text, const std::string& from, const std::string& to) {
    bool any = false;
    for (size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
        any = true;
    }
    return any;
}

bool makeMistake(const KnownMistake& mistake, std::string& vert, std::string& frag) {
    bool any = false;
    for (const auto& edit : mistake.edits) {
        bool inVert = replaced(vert, edit.first, edit.second);
        bool inFrag = replaced(frag, edit.first, edit.second);
        any = any || inVert || inFrag;
    }
    return any;
}
