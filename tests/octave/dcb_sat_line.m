function s = dcb_sat_line(sys, prn, bias, rms)
% One satellite entry of a DCB block, laid out as CODE writes it ("   G01    -7.615 ...").
  s = sprintf('%-60s%s', sprintf('   %s%02d%10.3f%10.3f', sys, prn, bias, rms), 'PRN / BIAS / RMS');
end
