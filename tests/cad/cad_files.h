#pragma once
// The figures the measurement-file suites write, one per group and age group, and how they
// run kelvo-cli for them: its list and its files.

#include <gtest/gtest.h>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <sys/wait.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "results/measurement_files.h"
#include "tests/support/temp_dir.h"

namespace kelvo::test::cad {

using results::MeasurementFormat;

// A figure as kelvo-cli chooses it: the group and the entries of the other lists.
struct Figure {
    int group;
    int age;  // -1 where the group has none
    std::string height, chest, third;
    std::string Arguments() const {
        std::string args = "--group " + std::to_string(group);
        if (age >= 0) args += " --age " + std::to_string(age);
        if (!height.empty()) args += " --height " + height;
        if (!chest.empty()) args += " --chest " + chest;
        if (!third.empty()) args += (group == 3 ? " --hip " : " --waist ") + third;
        return args;
    }
};

inline const Figure kFigures[] = {
    {0, -1, "80", "52", ""},        {1, 0, "", "", ""},          {1, 1, "", "", ""},
    {1, 2, "", "", ""},             {1, 3, "170", "", ""},        {2, 0, "", "", ""},
    {2, 1, "134", "64", "60"},      {2, 2, "", "", ""},           {2, 3, "", "", ""},
    {3, -1, "170", "100", "104"},   {4, -1, "188", "96", "78"},
};

inline const char* const kGroupKeys[] = {"nursery", "girls", "boys", "women", "men"};

inline std::string Shell(const std::string& command, int& exitCode) {
    std::string out;
    FILE* pipe = ::popen(command.c_str(), "r");
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
    const int status = ::pclose(pipe);
    exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return out;
}

// The list kelvo-cli prints: five UTF-8 cells per row, the heading left out.
inline std::vector<std::vector<std::string>> CliList(const Figure& figure) {
    int code = 0;
    const std::string tsv = Shell(std::string(KELVO_CLI) + " --data '" KELVO_BUNDLED_DATA "' " +
                                    figure.Arguments() + " --format tsv", code);
    EXPECT_EQ(code, 0) << figure.Arguments();
    std::vector<std::vector<std::string>> rows;
    std::size_t at = tsv.find('\n') + 1;
    while (at < tsv.size()) {
        const std::size_t end = tsv.find('\n', at);
        std::vector<std::string> cells;
        std::size_t cell = at;
        for (std::size_t tab; (tab = tsv.find('\t', cell)) < end; cell = tab + 1) cells.push_back(tsv.substr(cell, tab - cell));
        cells.push_back(tsv.substr(cell, end - cell));
        rows.push_back(cells);
        at = end + 1;
    }
    return rows;
}

inline const char* const kFormatNames[] = {"vit", "vst", "json"};

// The figure's file as kelvo-cli writes it with --output.
inline std::string CliFile(const Figure& figure, MeasurementFormat format, const test::TempDir& dir) {
    const char* name = kFormatNames[static_cast<int>(format)];
    const std::string path = (dir / (std::string("figure.") + name)).string();
    int code = 0;
    const std::string out = Shell(std::string(KELVO_CLI) + " --data '" KELVO_BUNDLED_DATA "' " + figure.Arguments() +
                                      " --format " + name + " --output '" + path + "' 2>&1", code);
    EXPECT_EQ(code, 0) << out;
    EXPECT_EQ(out, "");
    return path;
}

inline std::string Property(xmlNode* node, const char* name) {
    xmlChar* value = xmlGetProp(node, reinterpret_cast<const xmlChar*>(name));
    std::string text = value ? reinterpret_cast<const char*>(value) : "";
    xmlFree(value);
    return text;
}

inline bool Named(xmlNode* node, const char* name) {
    return node->type == XML_ELEMENT_NODE && xmlStrcmp(node->name, reinterpret_cast<const xmlChar*>(name)) == 0;
}

// The `m` elements of a measurement file, each as its attributes; the dimensions of a .vst.
struct ReadBack {
    std::vector<std::map<std::string, std::string>> measurements, dimensions;
};

inline ReadBack ReadXml(const std::string& path) {
    ReadBack file;
    xmlDoc* doc = xmlReadFile(path.c_str(), nullptr, XML_PARSE_NONET);
    EXPECT_NE(doc, nullptr) << path;
    if (!doc) return file;
    const auto attributes = [](xmlNode* node) {
        std::map<std::string, std::string> all;
        for (xmlAttr* a = node->properties; a; a = a->next) {
            const std::string name = reinterpret_cast<const char*>(a->name);
            all[name] = Property(node, name.c_str());
        }
        return all;
    };
    for (xmlNode* part = xmlDocGetRootElement(doc)->children; part; part = part->next) {
        for (xmlNode* node = part->children; node; node = node->next) {
            if (Named(part, "body-measurements") && Named(node, "m")) file.measurements.push_back(attributes(node));
            if (Named(part, "dimensions") && Named(node, "dimension")) file.dimensions.push_back(attributes(node));
        }
    }
    xmlFreeDoc(doc);
    return file;
}

}  // namespace kelvo::test::cad
