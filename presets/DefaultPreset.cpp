#include "DefaultPreset.h"

namespace velmora
{

// The settings every editor starts with, before any amplifier is heard. The
// trailing blanks of the data lines are part of the text and do no harm.
const char* const defaultPresetText = R"PRESET(BEGIN_OSC_DATA
/ampmode s DUAL                          
/channel/1/peq/1 sfff LS12 40.0 +0.0 1.0 
/channel/1/peq/2 sfff PEQ 100.0 +0.0 1.0 
/channel/1/peq/3 sfff PEQ 200.0 +0.0 1.0 
/channel/1/peq/4 sfff PEQ 400.0 +0.0 1.0 
/channel/1/peq/5 sfff PEQ 1k    +0.0 1.0 
/channel/1/peq/6 sfff PEQ 2k    +0.0 1.0 
/channel/1/peq/7 sfff PEQ 4k    +0.0 1.0 
/channel/1/peq/8 sfff HS12 10k  +0.0 1.0 
/channel/1/xover/hp sf OFF 30.01         
/channel/1/xover/lp sf OFF 200.0         
/channel/1/xover/gain f  +0.0            
/channel/1/deq/1/comp fff +0.0 -30.0 5.0 
/channel/1/deq/1/time ff 50.0 1000.0     
/channel/1/deq/1/filt sff BP 50.0 1.0    
/channel/1/deq/2/comp fff +0.0 -30.0 5.0 
/channel/1/deq/2/time ff 50.0 1000.0     
/channel/1/deq/2/filt sff BP 2k00 1.0    
/channel/1/delay fi   0.00 0             
/channel/1/limiter fff  100 100.0 50.0   
/channel/2/peq/1 sfff LS12 40.0 +0.0 1.0 
/channel/2/peq/2 sfff PEQ 100.0 +0.0 1.0 
/channel/2/peq/3 sfff PEQ 200.0 +0.0 1.0 
/channel/2/peq/4 sfff PEQ 400.0 +0.0 1.0 
/channel/2/peq/5 sfff PEQ 1k    +0.0 1.0 
/channel/2/peq/6 sfff PEQ 2k    +0.0 1.0 
/channel/2/peq/7 sfff PEQ 4k    +0.0 1.0 
/channel/2/peq/8 sfff HS12 10k  +0.0 1.0 
/channel/2/xover/hp sf OFF 2k00          
/channel/2/xover/lp sf OFF 15k001        
/channel/2/xover/gain f  +0.0            
/channel/2/deq/1/comp fff +0.0 -30.0 5.0 
/channel/2/deq/1/time ff 50.0 1000.0     
/channel/2/deq/1/filt sff BP 50.0 1.0    
/channel/2/deq/2/comp fff +0.0 -30.0 5.0 
/channel/2/deq/2/time ff 50.0 1000.0     
/channel/2/deq/2/filt sff BP 2k00 1.0    
/channel/2/delay fi  0.00 0              
/channel/2/limiter fff  100 100.0 50.0   
END_OSC_DATA)PRESET";

} // namespace velmora
