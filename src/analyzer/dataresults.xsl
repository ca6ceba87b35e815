<?xml version="1.0" encoding="UTF-8"?>
<!-- Shows a results file as tables when a browser or an XSLT processor opens it.
     Korvanta3RUzevoDataAnalyzer writes the full report with charts beside the file. -->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
  <xsl:output method="html" encoding="UTF-8" indent="yes"/>

  <xsl:template match="/TestResults">
    <html>
      <head>
        <meta charset="utf-8"/>
        <title>Korvanta 3RUzevo results</title>
        <style>
          body { font: 15px/1.45 system-ui, sans-serif; color: #1d2430; margin: 24px; }
          table { border-collapse: collapse; margin: 6px 0 18px; }
          th, td { padding: 3px 10px; border-bottom: 1px solid #e3e6ea; text-align: left; }
          td.number { text-align: right; font-variant-numeric: tabular-nums; }
          th { background: #eef1f4; }
        </style>
      </head>
      <body>
        <h1><xsl:value-of select="Version"/></h1>
        <p><xsl:value-of select="DateTime"/> &#183; <xsl:value-of select="CPU"/></p>
        <xsl:apply-templates select="ResultsSet"/>
      </body>
    </html>
  </xsl:template>

  <xsl:template match="ResultsSet">
    <h2><xsl:value-of select="TestMode"/></h2>
    <table class="set">
      <tr><th>Device</th><td><xsl:value-of select="DeviceName"/></td></tr>
      <tr><th>Emitters</th><td><xsl:value-of select="nBuffers"/></td></tr>
      <tr><th>Sample rate</th><td><xsl:value-of select="SampleRate"/></td></tr>
      <tr><th>X-RAM</th><td><xsl:value-of select="X-RAM"/></td></tr>
      <tr><th>Readings</th><td><xsl:value-of select="count(Result/Data)"/></td></tr>
      <xsl:if test="Result/Data">
        <tr><th>Mean %</th><td><xsl:value-of select="format-number(sum(Result/Data) div count(Result/Data), '0.000')"/></td></tr>
      </xsl:if>
    </table>
    <table class="readings">
      <tr><th>#</th><th>Seconds</th><th>CPU %</th></tr>
      <xsl:for-each select="Result/Data">
        <tr>
          <td class="number"><xsl:value-of select="position()"/></td>
          <td class="number"><xsl:value-of select="format-number(position() * 0.5, '0.0')"/></td>
          <td class="number reading"><xsl:value-of select="."/></td>
        </tr>
      </xsl:for-each>
    </table>
  </xsl:template>
</xsl:stylesheet>
