#include <gtest/gtest.h>

#include "report/text/ESectionBuilder.h"

TEST(SectionBuilder, AlignsTheColonsOfASectionAndMeasuresItsDashRow) {
  TNumberedSectionBuilder b;
  b.AddSection("Alpha");
  b.AddField("A", "1");
  b.AddField("Longer", "22");
  b.AddSection("Beta");
  b.AddField("Label", "x");
  EXPECT_EQ(b.Text(),
            "Alpha:\r\n-\r\n  1.1 A: 1\r\n  1.2 Longer: 22\r\n\r\nBeta:\r\n-\r\n  2.1 Label: x");
  EXPECT_EQ(b.Render(),
            "Alpha:\r\n"
            "----------------\r\n"
            "  1.1 A     : 1\r\n"
            "  1.2 Longer: 22\r\n"
            "\r\n"
            "Beta:\r\n"
            "--------------\r\n"
            "  2.1 Label: x\r\n");
}

TEST(SectionBuilder, HiddenFieldsKeepTheNumbersAndEmptySectionsDropWithTheirBlankLine) {
  TNumberedSectionBuilder b;
  b.AddSection("Off");
  b.AddField("A", "1", false);
  b.AddSection("On");
  b.AddField("A", "1", false);
  b.AddField("B", "2");
  b.AddField("C", "3");
  b.AddSection("Also off");
  b.AddField("A", "1", false);
  b.AddSection("Last");
  b.AddField("Z", "");
  EXPECT_EQ(b.Render(),
            "On:\r\n"
            "----------\r\n"
            "  2.2 B: 2\r\n"
            "  2.3 C: 3\r\n"
            "\r\n"
            "Last:\r\n"
            "---------\r\n"
            "  4.1 Z: \r\n");
  EXPECT_EQ(TNumberedSectionBuilder().Render(), "");
}

TEST(SectionBuilder, MultiLineValuesKeepTheSectionReadable) {
  TNumberedSectionBuilder b;
  b.AddSection("Notes");
  b.AddField("Text", "first: x\r\n\r\n   \nthird line: y\rend");
  b.AddField("Much longer", "v");
  EXPECT_EQ(b.Render(),
            "Notes:\r\n"
            "---------------------------\r\n"
            "  1.1 Text       : first:_x\r\n"
            " .\r\n"
            " .\r\n"
            " third line:_y\r\n"
            " end\r\n"
            "  1.2 Much longer: v\r\n");
}

TEST(SectionBuilder, AFreshBuilderContinuesTheNumbering) {
  TNumberedSectionBuilder b(6);
  b.AddSection("Other Information");
  b.AddField("", "custom");
  EXPECT_EQ(b.Render(), "Other Information:\r\n--------------\r\n  7.1 : custom\r\n");
}
