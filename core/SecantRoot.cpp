#include "core/SecantRoot.h"

#include "framework/base/Conversions.h"
#include "framework/base/Exception.h"

SecantResult SecantRoot(double x0, double x1, double eps)
{
    SecantResult result{};
    result.root = secant_detail::Iterate(x0, x1, eps, TargetFunction, result.updates, result.fRoot);
    return result;
}

void secant_detail::RaiseNoConvergence(double x0, double x1, int updates)
{
    throw Exception("Метод секущих не сошёлся за " + IntToStr(updates) + " итераций на отрезке [" +
                    FloatToStrF(x0, ffGeneral, 17, 0) + "; " + FloatToStrF(x1, ffGeneral, 17, 0) +
                    "]. Ослабьте точность (возьмите EPS больше) или измените шаг h.");
}
