#include "AnthropometryTable.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <cstdio>
#include <limits>

#include "ManikinBuilder.h"
#include "Numbers.h"
#include "anthro/MKAnthro.h"
#include "anthro/MKAnthroVariable.h"
#include "anthro/MKDBAnthro.h"
#include "manikin/MKManikin.h"

namespace mkcli {

const Dimension* AnthropometryTable::Find(const std::string& acronym) const {
  for (const Dimension& d : dimensions)
    if (d.acronym == acronym) return &d;
  return nullptr;
}

AnthropometryTable CollectAnthropometry(const MKManikin& manikin, double percentile) {
  const MKAnthro& anthro = *manikin.GetAnthro();
  AnthropometryTable table;
  table.sex = SexName(anthro.GetSex());
  table.percentile = percentile;
  table.population = anthro.GetDatabase()->GetName().ConvertToChar().CastToCharPtr();
  table.accommodation = anthro.GetPopulationAccommodation();
  for (unsigned int i = 0; i < anthro.GetNumberOfVariables(); ++i) {
    const MKAnthroVariable& v = *anthro.GetVariableAtIndex(i);
    const std::string acronym = BareAcronym(v.GetAcronym().CastToCharPtr());
    const bool fixed = v.GetManagementType() == 1;
    table.dimensions.push_back(
        {acronym, v.GetName().ConvertToChar().CastToCharPtr(), v.GetReferenceNumber(),
         v.IsAMass() ? "kg" : "cm", v.GetValue(), v.GetValueAsPercentile(), fixed,
         fixed ? std::numeric_limits<double>::quiet_NaN() : v.GetCalculatedStdDev()});
  }
  return table;
}

std::string FormatText(const AnthropometryTable& table) {
  std::size_t fixed = 0;
  for (const Dimension& d : table.dimensions) fixed += d.fixed ? 1 : 0;
  std::string text = table.sex + ", " + Ordinal(table.percentile) + " percentile of \"" +
                     table.population + "\" (" + FixedText(table.accommodation, 2) +
                     "% accommodated): " + std::to_string(table.dimensions.size()) +
                     " dimensions, " + std::to_string(fixed) + " fixed, " +
                     std::to_string(table.dimensions.size() - fixed) + " predicted\n";
  text += Padded("ACRONYM", 10, false) + Padded("VALUE", 11, true) + Padded("PCTL", 7, true) +
          "  " + Padded("SOURCE", 10, false) + Padded("COND. SD", 9, true) + "  DIMENSION\n";
  for (const Dimension& d : table.dimensions) {
    const std::string sd =
        d.fixed ? std::string("-") : FixedText(d.conditionalStdDev, 2) + " " + d.unit;
    text += Padded(d.acronym, 10, false) + Padded(FixedText(d.value, 2) + " " + d.unit, 11, true) +
            Padded(FixedText(d.percentile, 1), 7, true) + "  " +
            Padded(d.fixed ? "fixed" : "predicted", 10, false) + Padded(sd, 9, true) + "  " +
            d.name + "\n";
  }
  return text;
}

std::string FormatCsv(const AnthropometryTable& table) {
  std::string text = "acronym,name,reference,unit,value,percentile,source,conditional_sd\n";
  for (const Dimension& d : table.dimensions)
    text += CsvField(d.acronym) + "," + CsvField(d.name) + "," + std::to_string(d.reference) + "," +
            d.unit + "," + ShortestText(d.value) + "," + ShortestText(d.percentile) + "," +
            (d.fixed ? "fixed" : "predicted") + "," +
            (d.fixed ? std::string() : ShortestText(d.conditionalStdDev)) + "\n";
  return text;
}

std::string FormatJson(const AnthropometryTable& table) {
  nlohmann::ordered_json root;
  root["sex"] = table.sex;
  root["percentile"] = table.percentile;
  root["population"] = table.population;
  root["accommodation"] = table.accommodation;
  nlohmann::ordered_json dimensions = nlohmann::ordered_json::array();
  for (const Dimension& d : table.dimensions) {
    nlohmann::ordered_json item;
    item["acronym"] = d.acronym;
    item["name"] = d.name;
    item["reference"] = d.reference;
    item["unit"] = d.unit;
    item["value"] = d.value;
    item["percentile"] = d.percentile;
    item["source"] = d.fixed ? "fixed" : "predicted";
    item["conditionalStdDev"] =
        d.fixed ? nlohmann::ordered_json(nullptr) : nlohmann::ordered_json(d.conditionalStdDev);
    dimensions.push_back(item);
  }
  root["dimensions"] = dimensions;
  return root.dump(2) + "\n";
}

std::string Format(const AnthropometryTable& table, TableFormat format) {
  switch (format) {
    case TableFormat::Csv:
      return FormatCsv(table);
    case TableFormat::Json:
      return FormatJson(table);
    case TableFormat::Text:
      break;
  }
  return FormatText(table);
}

}  // namespace mkcli
