#include "calc/PgResults.h"

namespace {

template <typename Result>
CalcResult<PgMethod1Item> CopyHead(const Result& result)
{
    CalcResult<PgMethod1Item> head;
    head.rows = result.rows;
    head.nParallel = result.nParallel;
    head.hasError = result.hasError;
    return head;
}

}  // namespace

CalcResult<PgMethod1Item> CopyPgMethod1Rows(const CalcPgMethod1Result& result)
{
    return CopyHead(result);
}

CalcResult<PgMethod1Item> CopyPgSulphurRows(const PgSulphurResult& result)
{
    return CopyHead(result);
}
