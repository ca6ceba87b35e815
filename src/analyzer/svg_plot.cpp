#include "analyzer/svg_plot.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "analyzer/markup.h"

namespace analyzer {

namespace {

constexpr double kWidth = 1040, kHeight = 320;
// Each legend row below the first makes the chart this much taller.
constexpr double kLegendRow = 16;
constexpr double kLeft = 64, kRight = 16, kTop = 36, kBottom = 48;

std::string N(double value) {
  char text[32];
  std::snprintf(text, sizeof(text), "%.1f", value);
  return text;
}

// A tick step of 1, 2 or 5 times a power of ten, about five ticks a range.
double TickStep(double span) {
  if (!(span > 0)) return 1;
  const double raw = span / 5;
  const double power = std::pow(10, std::floor(std::log10(raw)));
  for (const double factor : {1.0, 2.0, 5.0}) {
    if (raw <= factor * power) return factor * power;
  }
  return 10 * power;
}

std::string TickText(double value, double step) {
  char text[32];
  const int decimals = step >= 1 ? 0 : static_cast<int>(std::ceil(-std::log10(step)));
  std::snprintf(text, sizeof(text), "%.*f", decimals, std::fabs(value) < step / 1e6 ? 0.0 : value);
  return text;
}

}  // namespace

SvgPlot::SvgPlot(std::string title, std::string xLabel, std::string yLabel, Range x, Range y)
    : title(std::move(title)), xLabel(std::move(xLabel)), yLabel(std::move(yLabel)), x(x), y(y) {
  if (!(this->x.max > this->x.min)) this->x.max = this->x.min + 1;
  if (!(this->y.max > this->y.min)) this->y.max = this->y.min + 1;
}

SvgPlot::Range SvgPlot::Padded(double min, double max, bool withZero) {
  if (withZero) min = std::min(min, 0.0), max = std::max(max, 0.0);
  if (!std::isfinite(min) || !std::isfinite(max)) return {0, 1};
  const double margin = max > min ? (max - min) * 0.08 : std::max(std::fabs(max) * 0.1, 1.0);
  return {withZero && min == 0 ? 0 : min - margin, withZero && max == 0 ? 0 : max + margin};
}

SvgPlot::Range SvgPlot::ForValues(const std::vector<double>& values, const std::vector<double>& intervalEnds,
                                  bool withZero) {
  double low = INFINITY, high = -INFINITY;
  for (const double v : values) {
    if (std::isfinite(v)) low = std::min(low, v), high = std::max(high, v);
  }
  if (withZero) low = std::min(low, 0.0), high = std::max(high, 0.0);
  if (!std::isfinite(low)) {
    // No value at all: the intervals alone set the axis.
    for (const double v : intervalEnds) {
      if (std::isfinite(v)) low = std::min(low, v), high = std::max(high, v);
    }
    return Padded(low, high, withZero);
  }
  const double reach = (high > low ? high - low : std::max(std::fabs(high), 1.0)) / 2;
  const double lowest = low - reach, highest = high + reach;
  for (const double v : intervalEnds) {
    if (std::isfinite(v)) low = std::min(low, std::max(v, lowest)), high = std::max(high, std::min(v, highest));
  }
  return Padded(low, high, withZero);
}

SvgPlot::Range SvgPlot::CategoryRange(size_t count) {
  const double margin = 0.5 + std::max(0.0, (3.0 - static_cast<double>(count)) / 2);
  return {-margin, static_cast<double>(count) - 1 + margin};
}

double SvgPlot::X(double value) const { return kLeft + (value - x.min) / (x.max - x.min) * (kWidth - kLeft - kRight); }
double SvgPlot::Y(double value) const {
  return kHeight - kBottom - (value - y.min) / (y.max - y.min) * (kHeight - kTop - kBottom);
}

void SvgPlot::Line(const std::vector<double>& xs, const std::vector<double>& ys, const std::string& cssClass) {
  std::string points;
  for (size_t i = 0; i < xs.size() && i < ys.size(); ++i) {
    if (!std::isfinite(xs[i]) || !std::isfinite(ys[i])) continue;
    points += (points.empty() ? "" : " ") + N(X(xs[i])) + "," + N(Y(ys[i]));
  }
  if (!points.empty()) marks += "<polyline class=\"line " + cssClass + "\" points=\"" + points + "\"/>\n";
}

void SvgPlot::ClippedMark(double atX, double atY, bool alongX, bool beyondMax, double end) {
  // Pointing out of the chart: up or right past the top end, down or left past
  // the bottom (SVG's y grows downwards).
  const double out = beyondMax ? -1 : 1, px = X(atX), py = Y(atY);
  std::string d;
  if (alongX) {
    const double tip = px - out * 1;
    d = "M" + N(tip) + "," + N(py) + "L" + N(tip + out * 7) + "," + N(py - 4) + "L" + N(tip + out * 7) + "," + N(py + 4);
  } else {
    const double tip = py + out * 1;
    d = "M" + N(px) + "," + N(tip) + "L" + N(px - 4) + "," + N(tip - out * 7) + "L" + N(px + 4) + "," + N(tip - out * 7);
  }
  char text[64];
  std::snprintf(text, sizeof(text), "the interval runs on to %.3g, off the chart", end);
  marks += "<path class=\"clipped\" d=\"" + d + "Z\"><title>" + std::string(text) + "</title></path>\n";
}

void SvgPlot::Band(const std::vector<double>& xs, const std::vector<double>& lows, const std::vector<double>& highs,
                   const std::string& cssClass) {
  std::string upper, lower;
  size_t count = 0;
  for (size_t i = 0; i < xs.size() && i < lows.size() && i < highs.size(); ++i) {
    if (!std::isfinite(xs[i]) || !std::isfinite(lows[i]) || !std::isfinite(highs[i])) continue;
    const double high = std::min(highs[i], y.max), low = std::max(lows[i], y.min);
    upper += (upper.empty() ? "" : " ") + N(X(xs[i])) + "," + N(Y(high));
    lower = N(X(xs[i])) + "," + N(Y(low)) + (lower.empty() ? "" : " ") + lower;
    if (highs[i] > y.max) ClippedMark(xs[i], y.max, false, true, highs[i]);
    if (lows[i] < y.min) ClippedMark(xs[i], y.min, false, false, lows[i]);
    ++count;
  }
  if (count == 0) return;
  marks += "<polygon class=\"band " + cssClass + "\" points=\"" + upper + " " + lower + "\"/>\n";
}

void SvgPlot::Dot(double px, double py, const std::string& cssClass, const std::string& tooltip) {
  if (!std::isfinite(px) || !std::isfinite(py)) return;
  marks += "<circle class=\"dot " + cssClass + "\" cx=\"" + N(X(px)) + "\" cy=\"" + N(Y(py)) + "\" r=\"2.5\"><title>" +
           Escaped(tooltip) + "</title></circle>\n";
}

void SvgPlot::ErrorBar(double px, double low, double high) {
  if (!std::isfinite(px) || !std::isfinite(low) || !std::isfinite(high)) return;
  const bool overTop = high > y.max, underBottom = low < y.min;
  const std::string cx = N(X(px)), l = N(X(px) - 5), r = N(X(px) + 5);
  const std::string top = N(Y(std::min(high, y.max))), bottom = N(Y(std::max(low, y.min)));
  // A cap where the interval ends on the chart; an arrowhead where it runs off.
  marks += "<path class=\"error\" d=\"M" + cx + "," + top + "V" + bottom + (overTop ? "" : "M" + l + "," + top + "H" + r) +
           (underBottom ? "" : "M" + l + "," + bottom + "H" + r) + "\"/>\n";
  if (overTop) ClippedMark(px, y.max, false, true, high);
  if (underBottom) ClippedMark(px, y.min, false, false, low);
}

void SvgPlot::Bar(double px, double width, double py, const std::string& cssClass, const std::string& tooltip) {
  if (!std::isfinite(py)) return;
  const double left = X(px - width / 2), right = X(px + width / 2);
  const double top = std::min(Y(py), Y(0)), bottom = std::max(Y(py), Y(0));
  marks += "<rect class=\"bar " + cssClass + "\" x=\"" + N(left) + "\" y=\"" + N(top) + "\" width=\"" +
           N(right - left) + "\" height=\"" + N(bottom - top) + "\"><title>" + Escaped(tooltip) + "</title></rect>\n";
}

void SvgPlot::Horizontal(double py, const std::string& cssClass, const std::string& label) {
  if (!std::isfinite(py)) return;
  const std::string level = N(Y(py));
  marks += "<line class=\"" + cssClass + "\" x1=\"" + N(kLeft) + "\" x2=\"" + N(kWidth - kRight) + "\" y1=\"" + level +
           "\" y2=\"" + level + "\"/>\n";
  if (!label.empty()) keys.push_back({true, cssClass, label});
}

void SvgPlot::Vertical(double px, const std::string& cssClass) {
  if (!std::isfinite(px)) return;
  const std::string at = N(X(px));
  marks += "<line class=\"" + cssClass + "\" x1=\"" + at + "\" x2=\"" + at + "\" y1=\"" + N(kTop) + "\" y2=\"" +
           N(kHeight - kBottom) + "\"/>\n";
}

void SvgPlot::ErrorBarAlongX(double py, double low, double high) {
  if (!std::isfinite(py) || !std::isfinite(low) || !std::isfinite(high)) return;
  const bool pastRight = high > x.max, pastLeft = low < x.min;
  const std::string cy = N(Y(py)), t = N(Y(py) - 5), b = N(Y(py) + 5);
  const std::string left = N(X(std::max(low, x.min))), right = N(X(std::min(high, x.max)));
  marks += "<path class=\"error\" d=\"M" + left + "," + cy + "H" + right + (pastLeft ? "" : "M" + left + "," + t + "V" + b) +
           (pastRight ? "" : "M" + right + "," + t + "V" + b) + "\"/>\n";
  if (pastRight) ClippedMark(x.max, py, true, true, high);
  if (pastLeft) ClippedMark(x.min, py, true, false, low);
}

void SvgPlot::Box(Range xs, Range ys, const std::string& cssClass, const std::string& tooltip, bool faint) {
  if (!std::isfinite(xs.min) || !std::isfinite(xs.max) || !std::isfinite(ys.min) || !std::isfinite(ys.max)) return;
  const double left = std::min(X(xs.min), X(xs.max)), right = std::max(X(xs.min), X(xs.max));
  const double top = std::min(Y(ys.min), Y(ys.max)), bottom = std::max(Y(ys.min), Y(ys.max));
  marks += "<rect class=\"bar " + cssClass + "\" x=\"" + N(left) + "\" y=\"" + N(top) + "\" width=\"" +
           N(right - left) + "\" height=\"" + N(bottom - top) + "\"" + (faint ? " fill-opacity=\"0.4\"" : "") +
           "><title>" + Escaped(tooltip) + "</title></rect>\n";
}

void SvgPlot::Legend(const std::vector<std::string>& names) {
  for (size_t i = 0; i < names.size(); ++i) keys.push_back({false, "s" + std::to_string(i % 6), names[i]});
}

void SvgPlot::Categories(const std::vector<std::string>& names) {
  numberedX = false;
  for (size_t i = 0; i < names.size(); ++i) {
    categories += "<text class=\"tick\" x=\"" + N(X(static_cast<double>(i))) + "\" y=\"" + N(kHeight - kBottom + 16) +
                  "\" text-anchor=\"middle\">" + Escaped(names[i]) + "</text>\n";
  }
}

void SvgPlot::Rows(const std::vector<std::string>& names) {
  numberedY = false;
  for (size_t i = 0; i < names.size(); ++i) {
    categories += "<text class=\"label\" x=\"" + N(kLeft + 4) + "\" y=\"" + N(Y(static_cast<double>(i) + 0.25) - 2) +
                  "\">" + Escaped(names[i]) + "</text>\n";
  }
}

std::string SvgPlot::Svg() const {
  std::string legend;
  double at = kLeft, row = 0;
  for (const Key& key : keys) {
    const double width = 24 + 6.5 * static_cast<double>(key.name.size());
    if (at > kLeft && at + width > kWidth - kRight) at = kLeft, row += kLegendRow;
    const double top = kHeight - 14 + row;
    legend += key.line ? "<line class=\"key " + key.cssClass + "\" x1=\"" + N(at) + "\" x2=\"" + N(at + 10) + "\" y1=\"" +
                             N(top + 5) + "\" y2=\"" + N(top + 5) + "\"/>"
                       : "<rect class=\"key " + key.cssClass + "\" x=\"" + N(at) + "\" y=\"" + N(top) +
                             "\" width=\"10\" height=\"10\"/>";
    legend += "<text class=\"note\" x=\"" + N(at + 14) + "\" y=\"" + N(top + 9) + "\">" + Escaped(key.name) + "</text>\n";
    at += width;
  }
  std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" class=\"chart\" viewBox=\"0 0 " + N(kWidth) + " " +
                    N(kHeight + row) + "\" role=\"img\" aria-label=\"" + Escaped(title) +
                    "\">\n<text class=\"heading\" x=\"" + N(kLeft) + "\" y=\"20\">" + Escaped(title) + "</text>\n";
  const double yStep = TickStep(y.max - y.min);
  // Counted, not summed: a step far below the values' precision must not loop for ever.
  for (int i = 0; numberedY && i <= 20; ++i) {
    const double tick = std::ceil(y.min / yStep) * yStep + i * yStep;
    if (!(tick <= y.max + yStep / 1e6)) break;
    svg += "<line class=\"grid\" x1=\"" + N(kLeft) + "\" x2=\"" + N(kWidth - kRight) + "\" y1=\"" + N(Y(tick)) +
           "\" y2=\"" + N(Y(tick)) + "\"/><text class=\"tick\" x=\"" + N(kLeft - 6) + "\" y=\"" + N(Y(tick) + 4) +
           "\" text-anchor=\"end\">" + TickText(tick, yStep) + "</text>\n";
  }
  if (numberedX) {
    const double xStep = TickStep(x.max - x.min);
    for (int i = 0; i <= 20; ++i) {
      const double tick = std::ceil(x.min / xStep) * xStep + i * xStep;
      if (!(tick <= x.max + xStep / 1e6)) break;
      svg += "<text class=\"tick\" x=\"" + N(X(tick)) + "\" y=\"" + N(kHeight - kBottom + 16) +
             "\" text-anchor=\"middle\">" + TickText(tick, xStep) + "</text>\n";
    }
  }
  svg += categories;
  svg += "<path class=\"axis\" d=\"M" + N(kLeft) + "," + N(kTop) + "V" + N(kHeight - kBottom) + "H" +
         N(kWidth - kRight) + "\"/>\n";
  svg += "<text class=\"label\" x=\"" + N(kWidth - kRight) + "\" y=\"" + N(kHeight - kBottom + 32) +
         "\" text-anchor=\"end\">" + Escaped(xLabel) + "</text>\n";
  svg += "<text class=\"label\" transform=\"translate(14," + N(kTop + (kHeight - kTop - kBottom) / 2) +
         ") rotate(-90)\" text-anchor=\"middle\">" + Escaped(yLabel) + "</text>\n";
  svg += marks + legend + "</svg>\n";
  return svg;
}

}  // namespace analyzer
