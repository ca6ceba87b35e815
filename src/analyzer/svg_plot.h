#pragma once
#include <string>
#include <vector>

namespace analyzer {

// An x-y chart drawn as inline SVG: axes with rounded ticks, then whatever
// marks are added, in data coordinates. Marks carry CSS classes so the
// report's style sheet colours them; series classes are "s0".."s5".
class SvgPlot {
 public:
  struct Range {
    double min = 0, max = 1;
  };
  SvgPlot(std::string title, std::string xLabel, std::string yLabel, Range x, Range y);

  void Line(const std::vector<double>& xs, const std::vector<double>& ys, const std::string& cssClass);
  // A translucent polygon between `lows` and `highs` over `xs`; points lacking either end are left out.
  void Band(const std::vector<double>& xs, const std::vector<double>& lows, const std::vector<double>& highs,
            const std::string& cssClass);
  // A dot with a tooltip (its <title>), which also names the value for readers of the file.
  void Dot(double x, double y, const std::string& cssClass, const std::string& tooltip);
  // Intervals (error bars, bands) are cut at the chart's edge, where an
  // arrowhead marks that they run on; its tooltip gives the end.
  void ErrorBar(double x, double low, double high);
  // A bar from 0 to `y`, centred on `x`, `width` in data units.
  void Bar(double x, double width, double y, const std::string& cssClass, const std::string& tooltip);
  // A line across the chart; a label goes into the legend, where it covers no data.
  void Horizontal(double y, const std::string& cssClass, const std::string& label);
  // Horizontal counterparts, for bars that lie along the x axis.
  void Vertical(double x, const std::string& cssClass);
  void ErrorBarAlongX(double y, double low, double high);
  // A rectangle over `xs` by `ys` in data units; a faint one is drawn lighter.
  void Box(Range xs, Range ys, const std::string& cssClass, const std::string& tooltip, bool faint);
  // Keys for series s0, s1, ... in rows under the chart, as many rows as the names need.
  void Legend(const std::vector<std::string>& names);
  // Labels under the x axis in place of numbers (bar charts).
  void Categories(const std::vector<std::string>& names);
  // Names in place of the y axis's numbers: name i is written at the left,
  // just above y = i + 0.25, so row i's marks belong within i ± 0.2.
  void Rows(const std::vector<std::string>& names);

  std::string Svg() const;

  // The range widened to include 0 (when asked) and a small margin.
  static Range Padded(double min, double max, bool withZero);
  // The axis for `values` (with 0 when asked): the intervals' ends widen it
  // by at most half the values' own span, so one wide interval cannot
  // flatten every line; what lies further is drawn clipped, with a mark.
  static Range ForValues(const std::vector<double>& values, const std::vector<double>& intervalEnds, bool withZero);
  // Categories 0 .. count-1 centred, never wider than a third of the chart each.
  static Range CategoryRange(size_t count);

 private:
  double X(double x) const;
  double Y(double y) const;
  // An arrowhead at the chart's edge where an interval runs off it.
  void ClippedMark(double atX, double atY, bool alongX, bool beyondMax, double end);

  std::string title, xLabel, yLabel;
  Range x, y;
  bool numberedX = true, numberedY = true;
  struct Key {
    bool line = false;  // a line's key, not a series' square
    std::string cssClass, name;
  };
  std::vector<Key> keys;
  std::string marks, categories;
};

}  // namespace analyzer
