// The model input set (also the extracted points of the last graph) and the stored model.
#pragma once

#include <string>
#include <vector>

#include "data/Table.h"

namespace ombrix {

struct ModelState {
    // Model input set / extracted points: point k = 1..ModelN.
    Table ModelX;                 // column 1 the constant 1, column 2 the x value (temperature)
    Table ModelY;                 // column 1 the y value (energy)
    std::vector<Cell> ModelFlag;  // pre/post flag of the row each point came from, or empty
    long ModelN = 0;
    double ModelTMin = 0, ModelTMax = 0, ModelTSpan = 0;
    double ModelYMin = 0, ModelYMax = 0, ModelYSpan = 0;

    // Stored current model, written by a savings calculation ("4P" or "5P"; empty before).
    std::string ModelType;
    Cell ModelParam1, ModelParam2, ModelParam3, ModelParam4, ModelParam5;
    Cell ModelRMSE, ModelNObs, ModelCV, ModelR2;
};

// Re-creates the input set for up to `rows` points: ModelX [0..rows, 0..2], ModelY
// [0..rows, 0..1], ModelFlag [0..rows], all empty, and ModelN = 0. The extremes are kept.
void resetModelInput(ModelState& m, long rows);

}  // namespace ombrix
