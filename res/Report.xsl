<?xml version="1.0" encoding="UTF-8"?>
<!--
  The report page: the XML report of tavrin as a printable HTML page.
  The output is XHTML, so that it is both well-formed XML and read by every
  browser as HTML. Data reach the page only as text, never as markup.
-->
<xsl:stylesheet version="1.0"
    xmlns:xsl="http://www.w3.org/1999/XSL/Transform"
    xmlns="http://www.w3.org/1999/xhtml"
    xmlns:dt="urn:tavrin:report-datatypes"
    exclude-result-prefixes="dt">

  <xsl:output method="xml" encoding="UTF-8" indent="no" omit-xml-declaration="yes"
      doctype-public="-//W3C//DTD XHTML 1.0 Strict//EN"
      doctype-system="http://www.w3.org/TR/xhtml1/DTD/xhtml1-strict.dtd"/>

  <xsl:template match="/">
    <xsl:apply-templates select="Document"/>
  </xsl:template>

  <xsl:template match="Document">
    <xsl:variable name="subject" select="normalize-space(name)"/>
    <html xml:lang="ru" lang="ru">
      <head>
        <title>
          <xsl:text>Отчёт</xsl:text>
          <xsl:if test="$subject != ''">
            <xsl:value-of select="concat('. ', $subject)"/>
          </xsl:if>
        </title>
        <style type="text/css">
@page { size: A4 landscape; margin: 12mm 10mm; }
body { font-family: "Liberation Sans", Arial, Helvetica, sans-serif; font-size: 10pt;
       color: #000; background: #fff; margin: 16px; }
h1 { font-size: 16pt; margin: 0 0 2pt 0; }
p.subject { font-size: 12pt; margin: 0 0 10pt 0; }
h2 { font-size: 12pt; margin: 14pt 0 4pt 0; break-after: avoid; page-break-after: avoid; }
table { border-collapse: collapse; margin: 0 0 12pt 0; }
table.head th { text-align: left; font-weight: normal; padding: 1pt 12pt 1pt 0; }
table.head td { font-weight: bold; padding: 1pt 0; }
table.list th, table.list td, table.calc th, table.calc td {
       border: 1px solid #000; padding: 2pt 4pt; vertical-align: middle; }
table.list th, table.calc th { background: #e6e6e6; text-align: center; font-weight: bold; }
table.list tr.title th, table.calc tr.title th { border: none; background: #fff; text-align: left;
       font-size: 11pt; padding: 8pt 0 3pt 0; }
td.n { text-align: right; white-space: nowrap; }
td.c { text-align: center; }
td.l { text-align: left; }
tr.total td { font-weight: bold; background: #f4f4f4; }
tr.custom td { text-align: center; }
tr.custom td.l { text-align: left; white-space: nowrap; }
thead { display: table-header-group; }
tr { page-break-inside: avoid; }
div.graph { margin: 6pt 0 12pt 0; }
div.graph img { width: 150mm; max-width: 100%; border: 1px solid #000; }
div.messages p { margin: 0; padding: 1pt 0 1pt 16pt; }
div.messages p.kind { padding-left: 0; margin-top: 4pt; font-weight: bold; break-after: avoid;
       page-break-after: avoid; }
        </style>
      </head>
      <body>
        <h1>Отчёт</h1>
        <xsl:if test="$subject != ''">
          <p class="subject"><xsl:value-of select="$subject"/></p>
        </xsl:if>
        <table class="head">
          <tr><th>Пункт отбора:</th><td><xsl:value-of select="station"/></td></tr>
          <tr><th>Номер прибора:</th><td><xsl:value-of select="num_device"/></td></tr>
          <tr><th>Оператор:</th><td><xsl:value-of select="operator"/></td></tr>
        </table>
        <xsl:apply-templates select="*" mode="section"/>
      </body>
    </html>
  </xsl:template>

  <!-- The header elements are shown above; anything unknown is left out. -->
  <xsl:template match="*" mode="section"/>

  <!-- Every table carries its title as the first row of its head, so a
       printed page never ends with a title whose table starts on the next. -->
  <xsl:template match="files" mode="section">
    <table class="list">
      <thead>
        <tr class="title"><th colspan="4">Список хроматограмм</th></tr>
        <tr><th>№</th><th>Проба</th><th>Время анализа</th><th>Тип расчёта</th></tr>
      </thead>
      <tbody>
        <xsl:apply-templates select="fill_data"/>
      </tbody>
    </table>
  </xsl:template>

  <xsl:template match="mixtures" mode="section">
    <table class="list">
      <thead>
        <tr class="title"><th colspan="5">Список смесей</th></tr>
        <tr><th>№</th><th>Баллон</th><th>Идентификатор баллона</th><th>Дата добавления в базу</th><th>Тип</th></tr>
      </thead>
      <tbody>
        <xsl:apply-templates select="fill_data"/>
      </tbody>
    </table>
  </xsl:template>

  <!-- A result table: the title row and the header rows, then the data rows
       padded to the widest of them, then the free-form rows. -->
  <xsl:template match="calc_table" mode="section">
    <xsl:variable name="widest">
      <xsl:for-each select="fill_data">
        <xsl:sort select="count(*)" data-type="number" order="descending"/>
        <xsl:if test="position() = 1">
          <xsl:value-of select="count(*)"/>
        </xsl:if>
      </xsl:for-each>
    </xsl:variable>
    <xsl:variable name="width" select="number(concat('0', $widest))"/>
    <xsl:variable name="size" select="normalize-space(font-size)"/>
    <table class="calc">
      <xsl:if test="$size != '' and translate($size, '0123456789.ptxem%', '') = ''">
        <xsl:attribute name="style">
          <xsl:value-of select="concat('font-size: ', $size)"/>
        </xsl:attribute>
      </xsl:if>
      <thead>
        <xsl:apply-templates select="header_row[column]">
          <xsl:with-param name="width" select="$width"/>
        </xsl:apply-templates>
      </thead>
      <tbody>
        <xsl:apply-templates select="fill_data | custom_row[cell]">
          <xsl:with-param name="width" select="$width"/>
        </xsl:apply-templates>
      </tbody>
    </table>
  </xsl:template>

  <xsl:template match="header_row">
    <xsl:param name="width" select="0"/>
    <xsl:variable name="isTitle" select="not(preceding-sibling::header_row)"/>
    <tr>
      <xsl:if test="$isTitle">
        <xsl:attribute name="class">title</xsl:attribute>
      </xsl:if>
      <xsl:for-each select="column">
        <th>
          <xsl:call-template name="spans"/>
          <!-- A title whose grid had no header spans the table's rows. -->
          <xsl:if test="$isTitle and not(number(cspan) &gt; 0) and $width &gt; 1">
            <xsl:attribute name="colspan"><xsl:value-of select="$width"/></xsl:attribute>
          </xsl:if>
          <xsl:value-of select="label"/>
        </th>
      </xsl:for-each>
    </tr>
  </xsl:template>

  <xsl:template match="fill_data">
    <xsl:param name="width" select="0"/>
    <tr>
      <xsl:if test="name[starts-with(., 'Всего')] or name = 'C5H12+В:'">
        <xsl:attribute name="class">total</xsl:attribute>
      </xsl:if>
      <!-- The sulphur compounds' totals of mol % and mercaptan sulphur stand
           under the last two columns, where their rows carry those values. -->
      <xsl:apply-templates select="*[not(self::sum_csss or preceding-sibling::sum_csss)]" mode="cell"/>
      <xsl:call-template name="pad">
        <xsl:with-param name="count" select="$width - count(*)"/>
      </xsl:call-template>
      <xsl:apply-templates select="sum_csss | sum_csss/following-sibling::*" mode="cell"/>
    </tr>
  </xsl:template>

  <!-- Every child of a row is one cell, in document order, whatever its name. -->
  <xsl:template match="*" mode="cell">
    <td>
      <xsl:choose>
        <!-- Numbers to the right, row numbers and verdicts in the middle. -->
        <xsl:when test="translate(., '0123456789.-', '') = ''">
          <xsl:if test="string(.) != ''">
            <xsl:attribute name="class">
              <xsl:choose>
                <xsl:when test="@dt:dt = 'i4'">c</xsl:when>
                <xsl:otherwise>n</xsl:otherwise>
              </xsl:choose>
            </xsl:attribute>
          </xsl:if>
        </xsl:when>
        <xsl:when test=". = 'Да' or . = 'Нет'">
          <xsl:attribute name="class">c</xsl:attribute>
        </xsl:when>
      </xsl:choose>
      <xsl:value-of select="."/>
    </td>
  </xsl:template>

  <xsl:template match="custom_row">
    <tr class="custom">
      <xsl:for-each select="cell">
        <td>
          <xsl:call-template name="spans"/>
          <xsl:choose>
            <xsl:when test="data-left">
              <xsl:attribute name="class">l</xsl:attribute>
              <xsl:value-of select="data-left"/>
            </xsl:when>
            <xsl:otherwise>
              <xsl:value-of select="data"/>
            </xsl:otherwise>
          </xsl:choose>
        </td>
      </xsl:for-each>
    </tr>
  </xsl:template>

  <!-- rowspan and colspan of a column or cell; a span of 1 or less is left out. -->
  <xsl:template name="spans">
    <xsl:if test="number(rspan) &gt; 1">
      <xsl:attribute name="rowspan"><xsl:value-of select="floor(number(rspan))"/></xsl:attribute>
    </xsl:if>
    <xsl:if test="number(cspan) &gt; 1">
      <xsl:attribute name="colspan"><xsl:value-of select="floor(number(cspan))"/></xsl:attribute>
    </xsl:if>
  </xsl:template>

  <!-- Empty cells that complete a short row; halved so that the recursion
       stays shallow however wide the table. -->
  <xsl:template name="pad">
    <xsl:param name="count" select="0"/>
    <xsl:choose>
      <xsl:when test="$count &gt; 1">
        <xsl:variable name="half" select="floor($count div 2)"/>
        <xsl:call-template name="pad"><xsl:with-param name="count" select="$half"/></xsl:call-template>
        <xsl:call-template name="pad"><xsl:with-param name="count" select="$count - $half"/></xsl:call-template>
      </xsl:when>
      <xsl:when test="$count = 1">
        <td class="e"></td>
      </xsl:when>
    </xsl:choose>
  </xsl:template>

  <xsl:template match="graph" mode="section">
    <xsl:if test="normalize-space(path) != ''">
      <div class="graph">
        <img src="{normalize-space(path)}" alt="Градуировочный график"/>
      </div>
    </xsl:if>
  </xsl:template>

  <xsl:template match="msg_head" mode="section">
    <h2>Системные сообщения</h2>
    <div class="messages">
      <xsl:for-each select="table_msg">
        <p>
          <xsl:if test="msg_str = 'Ошибки!' or msg_str = 'Предупреждения!' or msg_str = 'Информация!'">
            <xsl:attribute name="class">kind</xsl:attribute>
          </xsl:if>
          <xsl:value-of select="msg_str"/>
        </p>
      </xsl:for-each>
    </div>
  </xsl:template>
</xsl:stylesheet>
