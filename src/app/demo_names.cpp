#include "app/demo_names.h"

#include <array>

namespace tdx::app::demo {

namespace {

// generic, ATC, strength, form, form in names, unit, tender unit, container,
// packs, unit price (1/10000 EUR), registry units per tender unit
constexpr MedicineForm kForms[] = {
    {"paracetamol", "N02BE01", "500 mg", "tableta", "tablete", "tableta", "tableta", "pretisni omot", {10, 20, 30}, 250, 1},
    {"paracetamol", "N02BE01", "10 mg/ml", "raztopina za infundiranje", "raztopina za infundiranje", "viala", "viala", "viala", {10, 12, 1}, 14500, 1},
    {"paracetamol", "N02BE01", "24 mg/ml", "peroralna suspenzija", "peroralna suspenzija", "ml", "l", "steklenica", {100, 150, 100}, 310, 1000},
    {"paracetamol", "N02BE01", "125 mg", "svečka", "svečke", "svečka", "svečka", "dvojni trak", {10, 10, 10}, 1650, 1},
    {"ibuprofen", "M01AE01", "400 mg", "filmsko obložena tableta", "filmsko obložene tablete", "tableta", "tableta", "pretisni omot", {20, 30, 50}, 410, 1},
    {"ibuprofen", "M01AE01", "600 mg", "filmsko obložena tableta", "filmsko obložene tablete", "tableta", "tableta", "pretisni omot", {30, 50, 100}, 520, 1},
    {"ibuprofen", "M01AE01", "20 mg/ml", "peroralna suspenzija", "peroralna suspenzija", "ml", "l", "steklenica", {100, 200, 100}, 420, 1000},
    {"amoksicilin", "J01CA04", "500 mg", "trda kapsula", "trde kapsule", "kapsula", "kapsula", "pretisni omot", {16, 20, 30}, 880, 1},
    {"amoksicilin", "J01CA04", "50 mg/ml", "prašek za peroralno suspenzijo", "prašek za peroralno suspenzijo", "ml", "l", "steklenica", {60, 100, 100}, 520, 1000},
    {"amoksicilin in klavulanska kislina", "J01CR02", "875 mg/125 mg", "filmsko obložena tableta", "filmsko obložene tablete", "tableta", "tableta", "pretisni omot", {14, 20, 10}, 4100, 1},
    {"amoksicilin in klavulanska kislina", "J01CR02", "1000 mg/200 mg", "prašek za raztopino za injiciranje ali infundiranje", "prašek za raztopino za injiciranje ali infundiranje", "viala", "viala", "viala", {10, 5, 1}, 19800, 1},
    {"cefazolin", "J01DB04", "1 g", "prašek za raztopino za injiciranje ali infundiranje", "prašek za raztopino za injiciranje ali infundiranje", "viala", "viala", "viala", {10, 50, 1}, 17500, 1},
    {"ceftriakson", "J01DD04", "1 g", "prašek za raztopino za injiciranje ali infundiranje", "prašek za raztopino za injiciranje ali infundiranje", "viala", "viala", "viala", {10, 50, 1}, 16200, 1},
    {"ceftriakson", "J01DD04", "2 g", "prašek za raztopino za infundiranje", "prašek za raztopino za infundiranje", "viala", "viala", "viala", {10, 1, 10}, 29900, 1},
    {"ciprofloksacin", "J01MA02", "500 mg", "filmsko obložena tableta", "filmsko obložene tablete", "tableta", "tableta", "pretisni omot", {10, 14, 20}, 1300, 1},
    {"ciprofloksacin", "J01MA02", "2 mg/ml", "raztopina za infundiranje", "raztopina za infundiranje", "vrečka", "vrečka", "infuzijska vrečka", {10, 20, 1}, 43100, 1},
    {"azitromicin", "J01FA10", "500 mg", "filmsko obložena tableta", "filmsko obložene tablete", "tableta", "tableta", "pretisni omot", {3, 3, 6}, 9500, 1},
    {"klaritromicin", "J01FA09", "500 mg", "filmsko obložena tableta", "filmsko obložene tablete", "tableta", "tableta", "pretisni omot", {14, 14, 20}, 3900, 1},
    {"doksiciklin", "J01AA02", "100 mg", "trda kapsula", "trde kapsule", "kapsula", "kapsula", "pretisni omot", {10, 20, 10}, 1100, 1},
    {"sulfametoksazol in trimetoprim", "J01EE01", "800 mg/160 mg", "tableta", "tablete", "tableta", "tableta", "pretisni omot", {10, 20, 10}, 1250, 1},
    {"piperacilin in tazobaktam", "J01CR05", "4 g/0,5 g", "prašek za raztopino za infundiranje", "prašek za raztopino za infundiranje", "viala", "viala", "viala", {10, 1, 12}, 67400, 1},
    {"meropenem", "J01DH02", "1 g", "prašek za raztopino za injiciranje ali infundiranje", "prašek za raztopino za injiciranje ali infundiranje", "viala", "viala", "viala", {10, 1, 10}, 81200, 1},
    {"vankomicin", "J01XA01", "1 g", "prašek za koncentrat za raztopino za infundiranje", "prašek za koncentrat za raztopino za infundiranje", "viala", "viala", "viala", {1, 5, 10}, 62300, 1},
    {"gentamicin", "J01GB03", "80 mg/2 ml", "raztopina za injiciranje", "raztopina za injiciranje", "ampula", "ampula", "ampula", {10, 50, 10}, 6800, 1},
    {"metronidazol", "J01XD01", "5 mg/ml", "raztopina za infundiranje", "raztopina za infundiranje", "vrečka", "vrečka", "infuzijska vrečka", {10, 20, 1}, 12900, 1},
    {"nitrofurantoin", "J01XE01", "100 mg", "trda kapsula", "trde kapsule", "kapsula", "kapsula", "pretisni omot", {20, 50, 20}, 1500, 1},
    {"flukonazol", "J02AC01", "150 mg", "trda kapsula", "trde kapsule", "kapsula", "kapsula", "pretisni omot", {1, 2, 4}, 21400, 1},
    {"flukonazol", "J02AC01", "2 mg/ml", "raztopina za infundiranje", "raztopina za infundiranje", "steklenica", "steklenica", "steklenica", {10, 1, 10}, 55800, 1},
    {"aciklovir", "J05AB01", "400 mg", "tableta", "tablete", "tableta", "tableta", "pretisni omot", {35, 25, 35}, 2650, 1},
    {"metamizol", "N02BB02", "500 mg/ml", "raztopina za injiciranje", "raztopina za injiciranje", "ampula", "ampula", "ampula", {5, 10, 50}, 4800, 1},
    {"tramadol", "N02AX02", "50 mg", "trda kapsula", "trde kapsule", "kapsula", "kapsula", "pretisni omot", {20, 30, 50}, 590, 1},
    {"tramadol", "N02AX02", "100 mg/2 ml", "raztopina za injiciranje", "raztopina za injiciranje", "ampula", "ampula", "ampula", {5, 10, 5}, 7200, 1},
    {"morfin", "N02AA01", "10 mg/ml", "raztopina za injiciranje", "raztopina za injiciranje", "ampula", "ampula", "ampula", {10, 10, 50}, 9100, 1},
    {"fentanil", "N01AH01", "50 mikrogramov/ml", "raztopina za injiciranje", "raztopina za injiciranje", "ampula", "ampula", "ampula", {10, 5, 10}, 8700, 1},
    {"diklofenak", "M01AB05", "50 mg", "gastrorezistentna tableta", "gastrorezistentne tablete", "tableta", "tableta", "pretisni omot", {20, 30, 100}, 310, 1},
    {"diklofenak", "M01AB05", "75 mg/3 ml", "raztopina za injiciranje", "raztopina za injiciranje", "ampula", "ampula", "ampula", {5, 10, 5}, 5400, 1},
    {"ketoprofen", "M01AE03", "100 mg/2 ml", "raztopina za injiciranje", "raztopina za injiciranje", "ampula", "ampula", "ampula", {6, 10, 6}, 6100, 1},
    {"omeprazol", "A02BC01", "20 mg", "gastrorezistentna trda kapsula", "gastrorezistentne trde kapsule", "kapsula", "kapsula", "pretisni omot", {14, 28, 30}, 640, 1},
    {"pantoprazol", "A02BC02", "40 mg", "gastrorezistentna tableta", "gastrorezistentne tablete", "tableta", "tableta", "pretisni omot", {14, 28, 56}, 720, 1},
    {"pantoprazol", "A02BC02", "40 mg", "prašek za raztopino za injiciranje", "prašek za raztopino za injiciranje", "viala", "viala", "viala", {1, 5, 10}, 31000, 1},
    {"esomeprazol", "A02BC05", "40 mg", "gastrorezistentna tableta", "gastrorezistentne tablete", "tableta", "tableta", "pretisni omot", {14, 28, 30}, 990, 1},
    {"metoklopramid", "A03FA01", "10 mg/2 ml", "raztopina za injiciranje", "raztopina za injiciranje", "ampula", "ampula", "ampula", {5, 10, 50}, 3900, 1},
    {"ondansetron", "A04AA01", "2 mg/ml", "raztopina za injiciranje", "raztopina za injiciranje", "ampula", "ampula", "ampula", {5, 10, 5}, 11200, 1},
    {"granisetron", "A04AA02", "1 mg/ml", "koncentrat za raztopino za injiciranje ali infundiranje", "koncentrat za raztopino za injiciranje ali infundiranje", "ampula", "ampula", "ampula", {5, 1, 10}, 38600, 1},
    {"laktuloza", "A06AD11", "667 mg/ml", "peroralna raztopina", "peroralna raztopina", "ml", "l", "plastenka", {200, 500, 1000}, 95, 1000},
    {"makrogol", "A06AD15", "10 g", "prašek za peroralno raztopino", "prašek za peroralno raztopino", "vrečka", "vrečka", "vrečica", {20, 30, 50}, 1900, 1},
    {"metformin", "A10BA02", "500 mg", "filmsko obložena tableta", "filmsko obložene tablete", "tableta", "tableta", "pretisni omot", {30, 60, 100}, 210, 1},
    {"metformin", "A10BA02", "1000 mg", "filmsko obložena tableta", "filmsko obložene tablete", "tableta", "tableta", "pretisni omot", {30, 60, 90}, 330, 1},
    {"insulin aspart", "A10AB05", "100 enot/ml", "raztopina za injiciranje v napolnjenem injekcijskem peresniku", "raztopina za injiciranje v napolnjenem injekcijskem peresniku", "peresnik", "peresnik", "napolnjen injekcijski peresnik", {5, 10, 5}, 78500, 1},
    {"enoksaparin", "B01AB05", "4000 i.e./0,4 ml", "raztopina za injiciranje v napolnjeni injekcijski brizgi", "raztopina za injiciranje v napolnjeni injekcijski brizgi", "brizga", "brizga", "napolnjena injekcijska brizga", {10, 2, 50}, 24900, 1},
    {"heparin", "B01AB01", "5000 i.e./ml", "raztopina za injiciranje", "raztopina za injiciranje", "viala", "viala", "viala", {10, 1, 10}, 29600, 1},
    {"varfarin", "B01AA03", "5 mg", "tableta", "tablete", "tableta", "tableta", "steklenička", {30, 100, 30}, 240, 1},
    {"acetilsalicilna kislina", "B01AC06", "100 mg", "gastrorezistentna tableta", "gastrorezistentne tablete", "tableta", "tableta", "pretisni omot", {28, 30, 100}, 95, 1},
    {"klopidogrel", "B01AC04", "75 mg", "filmsko obložena tableta", "filmsko obložene tablete", "tableta", "tableta", "pretisni omot", {28, 30, 90}, 680, 1},
    {"furosemid", "C03CA01", "40 mg", "tableta", "tablete", "tableta", "tableta", "pretisni omot", {12, 20, 50}, 230, 1},
    {"furosemid", "C03CA01", "20 mg/2 ml", "raztopina za injiciranje", "raztopina za injiciranje", "ampula", "ampula", "ampula", {5, 10, 50}, 3200, 1},
    {"spironolakton", "C03DA01", "25 mg", "filmsko obložena tableta", "filmsko obložene tablete", "tableta", "tableta", "pretisni omot", {20, 50, 100}, 350, 1},
    {"bisoprolol", "C07AB07", "5 mg", "filmsko obložena tableta", "filmsko obložene tablete", "tableta", "tableta", "pretisni omot", {30, 60, 90}, 290, 1},
    {"metoprolol", "C07AB02", "50 mg", "tableta s podaljšanim sproščanjem", "tablete s podaljšanim sproščanjem", "tableta", "tableta", "pretisni omot", {30, 60, 100}, 380, 1},
    {"amlodipin", "C08CA01", "5 mg", "tableta", "tablete", "tableta", "tableta", "pretisni omot", {30, 60, 90}, 170, 1},
    {"amlodipin", "C08CA01", "10 mg", "tableta", "tablete", "tableta", "tableta", "pretisni omot", {30, 60, 90}, 230, 1},
    {"ramipril", "C09AA05", "5 mg", "tableta", "tablete", "tableta", "tableta", "pretisni omot", {28, 30, 100}, 260, 1},
    {"perindopril", "C09AA04", "5 mg", "tableta", "tablete", "tableta", "tableta", "vsebnik za tablete", {30, 90, 30}, 410, 1},
    {"losartan", "C09CA01", "50 mg", "filmsko obložena tableta", "filmsko obložene tablete", "tableta", "tableta", "pretisni omot", {28, 30, 98}, 330, 1},
    {"valsartan", "C09CA03", "80 mg", "filmsko obložena tableta", "filmsko obložene tablete", "tableta", "tableta", "pretisni omot", {28, 56, 98}, 390, 1},
    {"atorvastatin", "C10AA05", "20 mg", "filmsko obložena tableta", "filmsko obložene tablete", "tableta", "tableta", "pretisni omot", {30, 60, 90}, 360, 1},
    {"atorvastatin", "C10AA05", "40 mg", "filmsko obložena tableta", "filmsko obložene tablete", "tableta", "tableta", "pretisni omot", {30, 60, 90}, 470, 1},
    {"simvastatin", "C10AA01", "20 mg", "filmsko obložena tableta", "filmsko obložene tablete", "tableta", "tableta", "pretisni omot", {28, 30, 84}, 240, 1},
    {"rosuvastatin", "C10AA07", "10 mg", "filmsko obložena tableta", "filmsko obložene tablete", "tableta", "tableta", "pretisni omot", {28, 30, 90}, 420, 1},
    {"amiodaron", "C01BD01", "200 mg", "tableta", "tablete", "tableta", "tableta", "pretisni omot", {30, 60, 30}, 610, 1},
    {"amiodaron", "C01BD01", "150 mg/3 ml", "koncentrat za raztopino za injiciranje ali infundiranje", "koncentrat za raztopino za injiciranje ali infundiranje", "ampula", "ampula", "ampula", {6, 10, 5}, 15900, 1},
    {"digoksin", "C01AA05", "0,25 mg", "tableta", "tablete", "tableta", "tableta", "steklenička", {30, 50, 100}, 270, 1},
    {"levotiroksin", "H03AA01", "50 mikrogramov", "tableta", "tablete", "tableta", "tableta", "pretisni omot", {50, 100, 30}, 120, 1},
    {"levotiroksin", "H03AA01", "100 mikrogramov", "tableta", "tablete", "tableta", "tableta", "pretisni omot", {50, 100, 30}, 140, 1},
    {"deksametazon", "H02AB02", "4 mg/ml", "raztopina za injiciranje", "raztopina za injiciranje", "ampula", "ampula", "ampula", {10, 25, 10}, 9800, 1},
    {"metilprednizolon", "H02AB04", "40 mg", "prašek in vehikel za raztopino za injiciranje", "prašek in vehikel za raztopino za injiciranje", "viala", "viala", "viala", {1, 10, 1}, 42500, 1},
    {"metilprednizolon", "H02AB04", "16 mg", "tableta", "tablete", "tableta", "tableta", "pretisni omot", {30, 50, 30}, 1480, 1},
    {"prednizolon", "H02AB06", "5 mg", "tableta", "tablete", "tableta", "tableta", "pretisni omot", {20, 100, 30}, 340, 1},
    {"hidrokortizon", "D07AA02", "10 mg/g", "krema", "krema", "g", "kg", "tuba", {15, 30, 50}, 1850, 1000},
    {"fusidna kislina", "D06AX01", "20 mg/g", "krema", "krema", "g", "kg", "tuba", {15, 30, 15}, 2900, 1000},
    {"klotrimazol", "D01AC01", "10 mg/g", "krema", "krema", "g", "kg", "tuba", {20, 50, 20}, 1400, 1000},
    {"salbutamol", "R03AC02", "100 mikrogramov/odmerek", "inhalacijska suspenzija pod tlakom", "inhalacijska suspenzija pod tlakom", "vsebnik", "vsebnik", "vsebnik pod tlakom", {1, 1, 2}, 41500, 1},
    {"montelukast", "R03DC03", "10 mg", "filmsko obložena tableta", "filmsko obložene tablete", "tableta", "tableta", "pretisni omot", {28, 30, 98}, 530, 1},
    {"cetirizin", "R06AE07", "10 mg", "filmsko obložena tableta", "filmsko obložene tablete", "tableta", "tableta", "pretisni omot", {10, 20, 30}, 190, 1},
    {"diazepam", "N05BA01", "5 mg", "tableta", "tablete", "tableta", "tableta", "pretisni omot", {25, 30, 50}, 150, 1},
    {"diazepam", "N05BA01", "10 mg/2 ml", "raztopina za injiciranje", "raztopina za injiciranje", "ampula", "ampula", "ampula", {10, 5, 50}, 4400, 1},
    {"midazolam", "N05CD08", "5 mg/ml", "raztopina za injiciranje ali infundiranje", "raztopina za injiciranje ali infundiranje", "ampula", "ampula", "ampula", {10, 5, 10}, 6700, 1},
    {"haloperidol", "N05AD01", "5 mg/ml", "raztopina za injiciranje", "raztopina za injiciranje", "ampula", "ampula", "ampula", {5, 10, 5}, 5100, 1},
    {"kvetiapin", "N05AH04", "25 mg", "filmsko obložena tableta", "filmsko obložene tablete", "tableta", "tableta", "pretisni omot", {30, 60, 100}, 280, 1},
    {"sertralin", "N06AB06", "50 mg", "filmsko obložena tableta", "filmsko obložene tablete", "tableta", "tableta", "pretisni omot", {28, 30, 56}, 310, 1},
    {"escitalopram", "N06AB10", "10 mg", "filmsko obložena tableta", "filmsko obložene tablete", "tableta", "tableta", "pretisni omot", {28, 30, 56}, 350, 1},
    {"levetiracetam", "N03AX14", "500 mg", "filmsko obložena tableta", "filmsko obložene tablete", "tableta", "tableta", "pretisni omot", {30, 60, 100}, 640, 1},
    {"levetiracetam", "N03AX14", "100 mg/ml", "koncentrat za raztopino za infundiranje", "koncentrat za raztopino za infundiranje", "viala", "viala", "viala", {10, 10, 25}, 27800, 1},
    {"valprojska kislina", "N03AG01", "500 mg", "gastrorezistentna tableta", "gastrorezistentne tablete", "tableta", "tableta", "steklenička", {50, 100, 50}, 790, 1},
    {"propofol", "N01AX10", "10 mg/ml", "emulzija za injiciranje ali infundiranje", "emulzija za injiciranje ali infundiranje", "ampula", "ampula", "ampula", {5, 10, 5}, 18400, 1},
    {"lidokain", "N01BB02", "20 mg/ml", "raztopina za injiciranje", "raztopina za injiciranje", "ampula", "ampula", "ampula", {10, 50, 10}, 4300, 1},
    {"bupivakain", "N01BB01", "5 mg/ml", "raztopina za injiciranje", "raztopina za injiciranje", "viala", "viala", "viala", {5, 10, 5}, 9300, 1},
    {"natrijev klorid", "B05XA03", "9 mg/ml", "raztopina za infundiranje", "raztopina za infundiranje", "vrečka", "vrečka", "infuzijska vrečka", {10, 20, 40}, 9500, 1},
    {"kalijev klorid", "B05XA01", "74,5 mg/ml", "koncentrat za raztopino za infundiranje", "koncentrat za raztopino za infundiranje", "ampula", "ampula", "ampula", {10, 20, 50}, 2600, 1},
    {"alopurinol", "M04AA01", "100 mg", "tableta", "tablete", "tableta", "tableta", "pretisni omot", {50, 100, 30}, 160, 1},
    {"tamsulozin", "G04CA02", "0,4 mg", "trda kapsula s prirejenim sproščanjem", "trde kapsule s prirejenim sproščanjem", "kapsula", "kapsula", "pretisni omot", {30, 90, 30}, 480, 1},
    {"timolol", "S01ED01", "5 mg/ml", "kapljice za oko, raztopina", "kapljice za oko, raztopina", "ml", "ml", "plastenka s kapalnim nastavkom", {5, 10, 5}, 6600, 1},
    {"železov sulfat", "B03AA07", "80 mg", "tableta s podaljšanim sproščanjem", "tablete s podaljšanim sproščanjem", "tableta", "tableta", "pretisni omot", {30, 50, 100}, 410, 1},
    {"cianokobalamin", "B03BA01", "1 mg/ml", "raztopina za injiciranje", "raztopina za injiciranje", "ampula", "ampula", "ampula", {5, 10, 50}, 3800, 1},
    {"folna kislina", "B03BB01", "5 mg", "tableta", "tablete", "tableta", "tableta", "pretisni omot", {20, 30, 100}, 150, 1},
    {"holekalciferol", "A11CC05", "10 000 i.e./ml", "peroralne kapljice, raztopina", "peroralne kapljice, raztopina", "ml", "ml", "steklenička s kapalnim vložkom", {10, 20, 10}, 2100, 1},
    {"kalcijev folinat", "V03AF03", "10 mg/ml", "raztopina za injiciranje ali infundiranje", "raztopina za injiciranje ali infundiranje", "viala", "viala", "viala", {1, 5, 1}, 61200, 1},
    {"cisplatin", "L01XA01", "1 mg/ml", "koncentrat za raztopino za infundiranje", "koncentrat za raztopino za infundiranje", "viala", "viala", "viala", {1, 1, 5}, 95400, 1},
    {"karboplatin", "L01XA02", "10 mg/ml", "koncentrat za raztopino za infundiranje", "koncentrat za raztopino za infundiranje", "viala", "viala", "viala", {1, 1, 5}, 148900, 1},
    {"oksaliplatin", "L01XA03", "5 mg/ml", "koncentrat za raztopino za infundiranje", "koncentrat za raztopino za infundiranje", "viala", "viala", "viala", {1, 1, 5}, 213500, 1},
    {"paklitaksel", "L01CD01", "6 mg/ml", "koncentrat za raztopino za infundiranje", "koncentrat za raztopino za infundiranje", "viala", "viala", "viala", {1, 1, 5}, 389000, 1},
    {"docetaksel", "L01CD02", "20 mg/ml", "koncentrat za raztopino za infundiranje", "koncentrat za raztopino za infundiranje", "viala", "viala", "viala", {1, 1, 1}, 612000, 1},
    {"fluorouracil", "L01BC02", "50 mg/ml", "raztopina za injiciranje ali infundiranje", "raztopina za injiciranje ali infundiranje", "viala", "viala", "viala", {1, 5, 10}, 47800, 1},
    {"metotreksat", "L01BA01", "2,5 mg", "tableta", "tablete", "tableta", "tableta", "steklenička", {50, 100, 50}, 950, 1},
    {"gemcitabin", "L01BC05", "38 mg/ml", "koncentrat za raztopino za infundiranje", "koncentrat za raztopino za infundiranje", "viala", "viala", "viala", {1, 1, 5}, 254000, 1},
    {"filgrastim", "L03AA02", "30 milijonov enot/0,5 ml", "raztopina za injiciranje ali infundiranje v napolnjeni injekcijski brizgi", "raztopina za injiciranje ali infundiranje v napolnjeni injekcijski brizgi", "brizga", "brizga", "napolnjena injekcijska brizga", {1, 5, 10}, 358000, 1},
};

constexpr SpecialProduct kMagistral[] = {
    {"kapsule paracetamola 120 mg (magistralni pripravek)", "trda kapsula", "kapsula", "Paracetamol 120 mg kapsule, magistralni pripravek", "Galenski laboratorij Sotočje", 100, 3900},
    {"raztopina natrijevega hidrogenkarbonata 84 mg/ml", "raztopina za infundiranje", "ml", "Natrijev hidrogenkarbonat 8,4 % raztopina", "Galenski laboratorij Sotočje", 100, 240},
    {"mazilo s salicilno kislino 50 mg/g", "mazilo", "g", "Salicilno mazilo 5 %", "Galenski laboratorij Sotočje", 100, 310},
    {"suspenzija cinkovega oksida (\"tekoči puder\")", "dermalna suspenzija", "g", "Tekoči puder s cinkovim oksidom; 200 g", "Lekarniški laboratorij Podbrežje", 200, 120},
    {"kapsule omeprazola 5 mg za otroke", "trda kapsula", "kapsula", "Omeprazol 5 mg pediatrične kapsule", "Lekarniški laboratorij Podbrežje", 30, 6200},
    {"raztopina morfina 1 mg/ml za peroralno uporabo", "peroralna raztopina", "ml", "Morfin 1 mg/ml peroralna raztopina", "Galenski laboratorij Sotočje", 100, 450},
};

constexpr SpecialProduct kUnlicensed[] = {
    {"fenobarbital 15 mg tablete", "tableta", "tableta", "Phenobarbital 15 mg Tabletten", "Alvenor Pharma AG", 50, 1800},
    {"kalijev jodid 65 mg tablete", "tableta", "tableta", "Potassium iodide 65 mg tablets", "Norvika Labs AB", 10, 9900},
    {"dantrolen 20 mg prašek za raztopino za injiciranje", "prašek za raztopino za injiciranje", "viala", "Dantrolene sodium 20 mg powder for solution", "Meridina Health Ltd", 12, 612000},
    {"protamin sulfat 10 mg/ml raztopina za injiciranje", "raztopina za injiciranje", "ampula", "Protamine sulfate 10 mg/ml Injektionslösung", "Alvenor Pharma AG", 5, 88000},
    {"kinin sulfat 300 mg tablete", "tableta", "tableta", "Quinine sulfate 300 mg tablets", "Meridina Health Ltd", 28, 2700},
};

constexpr SpecialProduct kNutrition[] = {
    {"enteralna prehrana, standardna, 1 kcal/ml, 500 ml", "tekočina", "vrečka", "Nutrivel Standard 1 kcal/ml, 500 ml", "Sončnik Prehrana d.o.o.", 12, 61000},
    {"enteralna prehrana z vlakninami, 1,5 kcal/ml, 500 ml", "tekočina", "vrečka", "Nutrivel Fibra 1,5 kcal/ml, 500 ml", "Sončnik Prehrana d.o.o.", 12, 74000},
    {"visokobeljakovinski napitek, 200 ml", "tekočina", "steklenička", "Proteval Plus napitek, 200 ml, okus vanilija", "Kvarnela Farm d.o.o.", 4, 23500},
    {"zgoščevalec hrane in pijače, prašek", "prašek", "g", "Gostival zgoščevalec, 227 g", "Sončnik Prehrana d.o.o.", 227, 420},
    {"prehrana za nedonošenčke, prašek, 400 g", "prašek", "pločevinka", "Nedonovit začetna formula, 400 g", "Kvarnela Farm d.o.o.", 1, 168000},
};

constexpr Holder kHolders[] = {
    {"Kvarnela Farm d.o.o.", "Kvarnela", "KVA01"},
    {"Alvenor Pharma AG", "Alvenor", "ALV02"},
    {"Trevalis Farmaceutici S.p.A.", "Trevalis", "TRV03"},
    {"Norvika Labs AB", "Norvika", "NOR04"},
    {"Vidrana Pharma GmbH", "Vidrana", "VID05"},
    {"Ostrovia Generics s.r.o.", "Ostrovia", "OST06"},
    {"Meridina Health Ltd", "Meridina", "MER07"},
    {"Sončnik Farmacija d.o.o.", "Sončnik", "SON08"},
    {"Brezovec Zdravila d.o.o.", "Brezovec", "BRZ09"},
    {"Kamenjak Farma d.d.", "Kamenjak", "KAM10"},
    {"Lazurna Pharmaceuticals Kft.", "Lazurna", "LAZ11"},
    {"Žerjavec Medicinski izdelki d.o.o., Štajerska", "Žerjavec", "ZER12"},
    {"Čermelj Generiki d.o.o.", "Čermelj", "CER13"},
    {"Pelinovec Pharma Sp. z o.o.", "Pelinovec", "PEL14"},
};

constexpr Group kGroups[] = {
    {28, "Zdravila za uporabo v humani medicini"},
    {30, "Dietetična živila za posebne zdravstvene namene"},
};

// Shares per mille of the items; the rest of the tender is subgroup 1.
constexpr Subgroup kSubgroups[] = {
    {28, 1, "Zdravila z dovoljenjem za promet - splošni sklop", 380},
    {28, 2, "Posebni sklop 1: zdravila za zdravljenje okužb", 140},
    {28, 3, "Posebni sklop 2: citostatiki in podporna zdravila", 110},
    {28, 4, "Zdravila brez recepta", 90},
    {28, 5, "Zdravila - pogajanja", 80},
    {28, 6, "Raztopine za infundiranje in elektroliti", 60},
    {28, 28, "Magistralni in galenski pripravki", 50},
    {28, 29, "Zdravila brez dovoljenja za promet v Sloveniji (uvoz po posebni poti)", 40},
    {30, 1, "Enteralna prehrana - sondna hrana", 30},
    {30, 2, "Prehranska dopolnila in zgoščevalci", 20},
};

constexpr Party kBidder = {"Brinjevec Medika d.o.o.", "Lipova pot 14", "9998 Brinjevec", 9923144};

constexpr Party kApplicants[] = {
    {"Zalesje Zdravstvo d.o.o.", "", "", 9910553},
    {"Farmavrh trgovina, d.o.o.", "", "", 9931866},
    {"Medigaj d.o.o.", "", "", 9947021},
    {"Kvarnela Farm d.o.o.", "", "", 9956239},
    {"Sončnik Farmacija d.o.o.", "", "", 9962407},
    {"Lekovrt, veletrgovina d.o.o.", "", "", 9978184},
    {"Čermelj Generiki d.o.o.", "", "", 9983902},
    {"Zdravnica Šentlovrenc d.o.o.", "", "", 9990451},
};

constexpr std::string_view kBuyer[] = {
    "Splošna bolnišnica Vrbinje",
    "Dobava zdravil za obdobje dveh let",
    "Bolnišnična ulica 1",
    "9999 Vrbinje",
    "Lekarna - nabavna služba",
    "tel. 09 999 00 00",
};

constexpr std::string_view kSentences[] = {
    "Ponujeno zdravilo mora imeti veljavno dovoljenje za promet v Republiki Sloveniji.",
    "Rok uporabe ob dobavi mora biti najmanj 12 mesecev.",
    "Rok uporabe ob dobavi mora biti najmanj dve tretjini celotnega roka uporabe.",
    "Zdravilo mora biti primerno za shranjevanje pri sobni temperaturi (do 25 °C).",
    "Zahtevano je shranjevanje v hladilniku (2 °C do 8 °C); dobavitelj zagotavlja hladno verigo.",
    "Pakiranje mora omogočati izdajo posameznega odmerka (\"unit dose\").",
    "Vsak odmerek mora biti označen z imenom zdravila, jakostjo, serijo in rokom uporabe.",
    "Zdravilo mora biti brez laktoze; navedba pomožnih snovi je obvezna.",
    "Ponudnik priloži povzetek glavnih značilnosti zdravila v slovenskem jeziku.",
    "Dobava v 24 urah od naročila; nujna dobava v 4 urah.",
    "Naročnik bo naročal po potrebi; okvirna količina ni obveznost odkupa.",
    "Priznana je enakovredna farmacevtska oblika; za sirupe tudi suspenzija.",
    "Zdravilo se uporablja v enotah intenzivne terapije in na urgenci.",
    "Ampule ali viale morajo biti iz stekla tipa I ali iz plastike brez PVC.",
    "Ob spremembi cene na Javni agenciji za zdravila velja nižja cena.",
};

}  // namespace

std::span<const MedicineForm> medicineForms() { return kForms; }
std::span<const SpecialProduct> magistralProducts() { return kMagistral; }
std::span<const SpecialProduct> unlicensedProducts() { return kUnlicensed; }
std::span<const SpecialProduct> nutritionProducts() { return kNutrition; }
std::span<const Holder> holders() { return kHolders; }
std::span<const Group> groups() { return kGroups; }
std::span<const Subgroup> subgroups() { return kSubgroups; }
const Party& bidder() { return kBidder; }
std::span<const Party> otherApplicants() { return kApplicants; }
std::span<const std::string_view> buyerLines() { return kBuyer; }
std::span<const std::string_view> descriptionSentences() { return kSentences; }

std::string invalidTaxNumber(std::uint32_t stem) {
  stem %= 10000000;
  if (stem < 1000000) stem += 1000000;
  std::string digits = std::to_string(stem);  // 7 digits
  int sum = 0;
  for (int i = 0; i < 7; ++i) sum += (digits[std::size_t(i)] - '0') * (8 - i);
  int check = 11 - sum % 11;  // 10: no valid number has this stem; 11 means 0
  if (check == 11) check = 0;
  int wrong = check == 10 ? 3 : (check + 1) % 10;
  return digits + char('0' + wrong);
}

std::string taxNumber(const Party& p) { return invalidTaxNumber(p.taxStem); }

std::string restrictedEan(std::uint64_t body) {
  std::string digits = "2" + std::to_string(10000000000ull + body % 90000000000ull);  // 12 digits
  int sum = 0;
  for (int i = 0; i < 12; ++i) sum += (digits[std::size_t(i)] - '0') * (i % 2 ? 3 : 1);
  return digits + char('0' + (10 - sum % 10) % 10);
}

}  // namespace tdx::app::demo
