#pragma once

// The names of the results file's elements and its fixed texts, in the
// order the file holds them. The writer makes the file from these and the
// analyzer's reader checks the file against them: the format has one owner.
namespace results_elements {

// The bare version declaration (the texts are UTF-8, XML's default) and the
// stylesheet instruction, each written between "<?" and "?>". The
// instruction's target has no colon, which namespace-aware parsers refuse.
inline constexpr char kDeclaration[] = "xml version=\"1.0\"";
inline constexpr char kStylesheetFile[] = "dataresults.xsl";
// Names kStylesheetFile.
inline constexpr char kStylesheetInstruction[] = "xml-stylesheet type=\"text/xsl\" href=\"dataresults.xsl\"";

// The root and its header, in this order.
inline constexpr char kTestResults[] = "TestResults";
inline constexpr char kVersion[] = "Version";
inline constexpr char kDateTime[] = "DateTime";
inline constexpr char kCpu[] = "CPU";

// One per test, after the header.
inline constexpr char kResultsSet[] = "ResultsSet";
inline constexpr char kTestMode[] = "TestMode";
inline constexpr char kDeviceName[] = "DeviceName";
inline constexpr char kEmitters[] = "nBuffers";
inline constexpr char kSampleRate[] = "SampleRate";
inline constexpr char kXRam[] = "X-RAM";
// One "Result" per reading, holding one "Data".
inline constexpr char kResult[] = "Result";
inline constexpr char kData[] = "Data";

// The values of "X-RAM".
inline constexpr char kOn[] = "On";
inline constexpr char kOff[] = "Off";

// The picture of a reading's "Data".
inline constexpr char kReadingPicture[] = "%3.8f";

}  // namespace results_elements
